#include "Crc32.h"

#include "Handles.h"

#include <vector>

std::uint32_t Crc32::FileCrc(const std::string& path) const
{
    FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file)
        return 0;

    const DWORD size = GetFileSize(file.get(), nullptr);
    if (size == INVALID_FILE_SIZE)
        return 0;
    std::vector<unsigned char> content(size);
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data(), size, &read, nullptr) || read != size)
        return 0;
    return Compute(content.data(), content.size());
}
