#include "TraceRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

// Appends text and its NUL at position pos, taking at most limit characters.
std::size_t AppendField(char* buffer, std::size_t pos, const char* text, std::size_t limit)
{
    std::size_t length = std::strlen(text);
    if (length > limit)
        length = limit;
    std::memcpy(buffer + pos, text, length);
    buffer[pos + length] = '\0';
    return pos + length + 1;
}

std::size_t AppendNumber(char* buffer, std::size_t pos, long value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    return AppendField(buffer, pos, text, sizeof text);
}

} // namespace

std::size_t BuildTraceRecord(char* buffer, std::size_t capacity, const TraceFields& fields)
{
    std::size_t pos = 0;
    pos = AppendNumber(buffer, pos, fields.module);
    pos = AppendNumber(buffer, pos, fields.line);
    pos = AppendNumber(buffer, pos, fields.number1);
    pos = AppendNumber(buffer, pos, fields.number2);
    pos = AppendNumber(buffer, pos, fields.number3);

    // What is left holds the source path, the message and their two NULs.
    const std::size_t room = capacity - pos - 2;
    const std::size_t sourceLength = std::min(fields.source.size(), room);
    const std::size_t messageLength = std::min(fields.message.size(), room - sourceLength);
    pos = AppendField(buffer, pos, fields.source.c_str(), sourceLength);
    return AppendField(buffer, pos, fields.message.c_str(), messageLength);
}

std::optional<TraceFields> ParseTraceRecord(const void* data, std::size_t size)
{
    const char* bytes = static_cast<const char*>(data);
    std::string parts[7];
    std::size_t pos = 0;
    for (std::string& part : parts)
    {
        const void* end = pos < size ? std::memchr(bytes + pos, '\0', size - pos) : nullptr;
        if (end == nullptr)
            return std::nullopt;
        const std::size_t length = static_cast<const char*>(end) - (bytes + pos);
        part.assign(bytes + pos, length);
        pos += length + 1;
    }
    if (pos != size)
        return std::nullopt;

    TraceFields fields;
    fields.module = static_cast<std::uint16_t>(std::strtol(parts[0].c_str(), nullptr, 10));
    fields.line = static_cast<std::int32_t>(std::strtol(parts[1].c_str(), nullptr, 10));
    fields.number1 = static_cast<std::int32_t>(std::strtol(parts[2].c_str(), nullptr, 10));
    fields.number2 = static_cast<std::int32_t>(std::strtol(parts[3].c_str(), nullptr, 10));
    fields.number3 = static_cast<std::int32_t>(std::strtol(parts[4].c_str(), nullptr, 10));
    fields.source = parts[5];
    fields.message = parts[6];
    return fields;
}
