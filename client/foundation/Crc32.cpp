#include "Crc32.h"

namespace
{

constexpr std::uint32_t CRC_POLYNOMIAL = 0x04C11DB7;

std::uint32_t g_table[256];
bool g_tableBuilt = false;

std::uint32_t Mirror(std::uint32_t value, int bits)
{
    std::uint32_t result = 0;
    for (int i = 0; i < bits; ++i)
        if (value & (1u << i))
            result |= 1u << (bits - 1 - i);
    return result;
}

// Entry i is the CRC of the byte i with the polynomial processed bit-reversed.
void BuildTable()
{
    for (std::uint32_t i = 0; i < 256; ++i)
    {
        std::uint32_t value = Mirror(i, 8) << 24;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 0x80000000u) ? (value << 1) ^ CRC_POLYNOMIAL : value << 1;
        g_table[i] = Mirror(value, 32);
    }
    g_tableBuilt = true;
}

} // namespace

Crc32::Crc32()
{
    // The table is first built on the main thread during start-up, before any other
    // thread of the program exists.
    if (!g_tableBuilt)
        BuildTable();
}

std::uint32_t Crc32::Compute(const void* data, std::size_t size) const
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    std::uint32_t value = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
        value = (value >> 8) ^ g_table[(value ^ bytes[i]) & 0xFF];
    return ~value;
}
