#include "InstallerHelpers.h"

#include "CommandLine.h"
#include "Handles.h"
#include "InstallerLog.h"

#include <windows.h>

#include <vector>

namespace installer
{

bool CheckSingleInstance()
{
    SetLastError(ERROR_SUCCESS);
    KernelHandle semaphore(CreateSemaphoreA(nullptr, 1, 1, kSemaphoreName));
    if (semaphore && GetLastError() == ERROR_ALREADY_EXISTS)
    {
        WriteLog("ERR: ERROR_ALREADY_EXISTS...");
        return false;
    }
    return true;
}

bool ReadIniValue(const std::string& path, const char* section, const char* key, std::string& value)
{
    char buffer[128] = {};
    GetPrivateProfileStringA(section, key, kIniValueMissing, buffer, sizeof buffer, path.c_str());
    value = buffer;
    return value != kIniValueMissing;
}

std::string TempSysConfigPath()
{
    char tempDir[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof tempDir, tempDir);
    if (length >= sizeof tempDir)
        tempDir[0] = '\0';
    return std::string(tempDir) + kSysConfigFile;
}

bool GetModulePath(std::string& folder)
{
    char path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    // A path that filled the whole buffer was cut by the system: not a usable folder.
    if (length == 0 || length >= sizeof path)
    {
        WriteLog("ERR: GetModuleFileName error...");
        return false;
    }
    const std::string full(path, length);
    const std::string::size_type slash = full.rfind('\\');
    if (slash == std::string::npos)
    {
        WriteLog("ERR: cant't find '\\'...");
        return false;
    }
    folder = full.substr(0, slash);
    WriteLog("INF: Get module path, SUC...");
    return true;
}

namespace
{

bool RunAndWait(const std::string& commandLine, DWORD creationFlags, const char* startMessage,
                const char* endMessage)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // CreateProcessA may write into the command line, so it gets its own buffer.
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');

    WriteLog("%s", startMessage);
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, creationFlags, nullptr,
                        nullptr, &startup, &process))
    {
        WriteLog("ERR: CreateProcess error...");
        return false;
    }
    KernelHandle processHandle(process.hProcess);
    KernelHandle threadHandle(process.hThread);
    WaitForSingleObject(processHandle.get(), INFINITE);
    DWORD exitCode = 0;
    GetExitCodeProcess(processHandle.get(), &exitCode);
    WriteLog("%s", endMessage);
    return true;
}

void LogRefusedCommandLine(const std::string& commandLine)
{
    WriteLog("ERR: Command line too long, Len: %u, Max: %u...",
             static_cast<unsigned>(commandLine.size()), static_cast<unsigned>(kCommandLineMax));
}

} // namespace

bool RunAndWaitDriverTool(const std::string& program, const std::string& argument)
{
    std::string commandLine;
    if (!BuildDriverToolCommand(program, argument, commandLine))
    {
        LogRefusedCommandLine(program + " " + argument);
        return false;
    }
    return RunAndWait(commandLine, CREATE_NO_WINDOW, "INF: Start run driver setup...",
                      "INF: Run driver setup, SUC...");
}

bool RunAndWaitClientSetup(const std::string& program)
{
    std::string folder;
    if (!GetModulePath(folder))
    {
        WriteLog("ERR: Get module path error!...");
        return false;
    }
    std::string commandLine;
    if (!BuildClientSetupCommand(folder, program, commandLine))
    {
        LogRefusedCommandLine(folder + "\\Client\\" + program);
        return false;
    }
    return RunAndWait(commandLine, 0, "INF: Start run client setup...",
                      "INF: Run client setup, SUC...");
}

} // namespace installer
