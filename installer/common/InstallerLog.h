#pragma once
// The log that Launchpod and Devsweep share: one text file in the Windows folder,
// one "HH:MM:SS: message" record per call, each written by its own open-append-close.

#include <string>

namespace installer
{

// The Windows folder followed by "\ZQ90LaunchpodLog.tmp"; empty when the Windows
// folder cannot be obtained.
std::string LogFilePath();

// Appends one record; a record that cannot be written is lost without a report.
void WriteLog(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// Deletes the log when it has grown to 20480 bytes or more.
void TrimLog();

// Clears the read-only attribute and deletes the file; logs the outcome.
bool RemoveFile(const std::string& path);

} // namespace installer
