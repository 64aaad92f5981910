#pragma once
// CRC-32 of zlib, ZIP and Ethernet (reflected polynomial 0xEDB88320, initial value
// and final XOR 0xFFFFFFFF). The check value over "123456789" is 0xCBF43926.

#include <cstddef>
#include <cstdint>
#include <string>

class Crc32
{
public:
    // The first construction in the process builds the shared table.
    Crc32();
    virtual ~Crc32() = default;

    std::uint32_t Compute(const void* data, std::size_t size) const;

    // CRC-32 of a whole file; 0 when the file cannot be opened or read.
    // (Windows builds only: the file is read through the system's file API.)
    std::uint32_t FileCrc(const std::string& path) const;
};
