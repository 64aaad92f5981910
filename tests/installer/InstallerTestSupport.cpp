#include "InstallerTestSupport.h"

#include "Handles.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <cstdlib>
#include <stdexcept>

std::string ProgramFolder(const char* variable)
{
    const char* value = std::getenv(variable);
    if (!value)
        throw std::runtime_error(std::string("environment variable missing: ") + variable);
    return WindowsPathOf(value);
}

std::string CommandLineOf(const std::string& program, const std::string& arguments)
{
    const std::string quoted = "\"" + program + "\"";
    return arguments.empty() ? quoted : quoted + " " + arguments;
}

std::string TempFolderPath()
{
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    return path;
}

DeviceDeclaration ModemMassStorageDevice(const std::string& usbId, const std::string& instance)
{
    DeviceDeclaration device;
    device.instanceId = usbId + "\\" + instance;
    device.hardwareIds = {usbId + "&REV_0231", usbId};
    device.compatibleIds = {"USB\\Class_08&SubClass_06&Prot_50", "USB\\Class_08"};
    device.classGuid = USB_CLASS_GUID;
    device.friendlyName = "KORVAN Mass Storage USB Device";
    return device;
}

bool DeviceInstalled(const DeviceDeclaration& device)
{
    RegKey key;
    const bool exists = RegOpenKeyExA(HKEY_LOCAL_MACHINE, DeviceInstanceKeyPath(device).c_str(), 0,
                                      KEY_READ, key.receive()) == ERROR_SUCCESS;
    if (!exists)
        key.release();
    return exists;
}

std::string InstallerLogPath()
{
    char windowsDir[MAX_PATH] = {};
    GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    return std::string(windowsDir) + "\\ZQ90LaunchpodLog.tmp";
}

void RemoveInstallerLog()
{
    RemoveFile(InstallerLogPath());
}

namespace
{
bool HasTimePrefix(const std::string& line)
{
    if (line.size() < 10 || line.compare(8, 2, ": ") != 0)
        return false;
    for (int i : {0, 1, 3, 4, 6, 7})
    {
        if (line[i] < '0' || line[i] > '9')
            return false;
    }
    return line[2] == ':' && line[5] == ':';
}
} // namespace

std::vector<std::string> ReadLogMessages()
{
    const std::string content = ReadFileBytes(InstallerLogPath());
    std::vector<std::string> messages;
    std::string::size_type start = 0;
    while (start < content.size())
    {
        std::string::size_type end = content.find("\r\n", start);
        // A last line without its CR LF is kept as it stands, so it shows up.
        const std::string line =
            content.substr(start, end == std::string::npos ? end : end - start);
        messages.push_back(HasTimePrefix(line) ? line.substr(10) : line);
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
    return messages;
}

bool WaitForLogMessage(const std::string& message, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;)
    {
        for (const std::string& line : ReadLogMessages())
        {
            if (line == message)
                return true;
        }
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
}

bool IsInterleaving(const std::vector<std::string>& log, const std::vector<std::string>& first,
                    const std::vector<std::string>& second)
{
    if (log.size() != first.size() + second.size())
        return false;
    // reachable[j]: log[0, i + j) can be made of first[0, i) and second[0, j).
    std::vector<bool> reachable(second.size() + 1, false);
    for (std::size_t i = 0; i <= first.size(); ++i)
    {
        for (std::size_t j = 0; j <= second.size(); ++j)
        {
            if (i == 0 && j == 0)
            {
                reachable[0] = true;
                continue;
            }
            const bool fromFirst = i > 0 && reachable[j] && first[i - 1] == log[i + j - 1];
            const bool fromSecond = j > 0 && reachable[j - 1] && second[j - 1] == log[i + j - 1];
            reachable[j] = fromFirst || fromSecond;
        }
    }
    return reachable[second.size()];
}

std::string DescribeLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "  |" + line + "|\n";
    return text;
}
