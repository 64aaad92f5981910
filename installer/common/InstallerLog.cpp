#include "InstallerLog.h"

#include "Handles.h"
#include "LogFormat.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace installer
{

namespace
{
constexpr DWORD kLogSizeLimit = 20480;

struct StdioFileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};
} // namespace

std::string LogFilePath()
{
    char windowsDir[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (length == 0 || length >= sizeof windowsDir)
        return std::string();
    return std::string(windowsDir) + "\\ZQ90LaunchpodLog.tmp";
}

void WriteLog(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    const std::string message = FormatLogMessage(format, args);
    va_end(args);

    const std::string path = LogFilePath();
    if (path.empty())
        return;
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    const std::string record = FormatLogRecord(now.wHour, now.wMinute, now.wSecond, message);
    // Text mode on purpose: every "\n" of the record reaches the file as CR LF.
    std::unique_ptr<FILE, StdioFileCloser> file(std::fopen(path.c_str(), "a"));
    if (file)
        std::fputs(record.c_str(), file.get());
}

void TrimLog()
{
    const std::string path = LogFilePath();
    if (path.empty())
        return;
    DWORD size = 0;
    {
        FileHandle log(
            CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!log)
            return;
        size = GetFileSize(log.get(), nullptr);
    }
    if (size != 0 && size != INVALID_FILE_SIZE && size >= kLogSizeLimit)
        RemoveFile(path);
}

bool RemoveFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!DeleteFileA(path.c_str()))
    {
        WriteLog("ERR: DeleteFile error, Name: %s...", path.c_str());
        return false;
    }
    WriteLog("INF: Delete file, SUC, Name: %s...", path.c_str());
    return true;
}

} // namespace installer
