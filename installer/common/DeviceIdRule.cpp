#include "DeviceIdRule.h"

#include <cstring>

namespace installer
{

std::vector<std::string> SplitMultiString(const char* buffer, std::size_t size)
{
    std::vector<std::string> strings;
    std::size_t pos = 0;
    while (pos < size && buffer[pos] != '\0')
    {
        const void* end = std::memchr(buffer + pos, '\0', size - pos);
        const std::size_t length =
            end ? static_cast<const char*>(end) - (buffer + pos) : size - pos;
        strings.emplace_back(buffer + pos, length);
        pos += length + 1;
    }
    return strings;
}

std::string ToLowerAscii(std::string text)
{
    for (char& c : text)
    {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

bool IdMatches(const std::string& deviceId, const std::string& lowerCaseId)
{
    return ToLowerAscii(deviceId) == lowerCaseId;
}

} // namespace installer
