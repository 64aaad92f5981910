#include "TraceLine.h"

#include "TraceRecord.h"

#include <cstdio>

namespace
{

std::string EscapeControls(const std::string& text)
{
    std::string result;
    for (const char c : text)
    {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '\r')
            result += "\\r";
        else if (c == '\n')
            result += "\\n";
        else if (c == '\t')
            result += "\\t";
        else if (byte < 0x20 || byte == 0x7F)
        {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            result += hex;
        }
        else
            result += c;
    }
    return result;
}

} // namespace

std::string DescribeTraceRecord(unsigned long level, const void* data, std::size_t size)
{
    const auto fields = data != nullptr ? ParseTraceRecord(data, size) : std::nullopt;
    if (!fields)
        return std::to_string(level) + "\tmalformed record of " + std::to_string(size) + " bytes\n";
    return std::to_string(level) + "\t" + std::to_string(fields->module) + "\t" +
           std::to_string(fields->line) + "\t" + std::to_string(fields->number1) + "\t" +
           std::to_string(fields->number2) + "\t" + std::to_string(fields->number3) + "\t" +
           EscapeControls(fields->source) + "\t" + EscapeControls(fields->message) + "\n";
}
