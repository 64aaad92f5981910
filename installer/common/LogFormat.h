#pragma once
// The installer log's record format: "HH:MM:SS: <message>\n", the message cut to
// its field's 255 characters. Windows-free so that it is tested natively as well.

#include <cstdarg>
#include <cstddef>
#include <string>

namespace installer
{

constexpr std::size_t kLogMessageMax = 255;

// Formats printf-style; a result longer than the message field is cut at 255
// characters rather than dropped, so a long path still leaves its line in the log.
std::string FormatLogMessage(const char* format, std::va_list args);

std::string FormatLogRecord(int hour, int minute, int second, const std::string& message);

} // namespace installer
