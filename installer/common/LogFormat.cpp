#include "LogFormat.h"

#include <cstdio>

namespace installer
{

std::string FormatLogMessage(const char* format, std::va_list args)
{
    char message[kLogMessageMax + 1] = {};
    // vsnprintf never writes past the buffer and always terminates it; a negative
    // answer (an encoding error) leaves the zero-filled buffer, i.e. an empty message.
    std::vsnprintf(message, sizeof message, format, args);
    return message;
}

std::string FormatLogRecord(int hour, int minute, int second, const std::string& message)
{
    char time[16] = {};
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", hour, minute, second);
    return std::string(time) + ": " + message + "\n";
}

} // namespace installer
