// Started from the modem's virtual CD: installs or updates the connection manager
// from the CD and, once the modem's driver is installed, hands over to Devsweep.
// Shows nothing; all progress goes to the log.

#include "DeviceIds.h"
#include "Handles.h"
#include "InstallerHelpers.h"
#include "InstallerLog.h"
#include "LaunchpodRules.h"

#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace installer;

namespace
{

constexpr char kClientKey[] = "SOFTWARE\\Korvan technologies\\Torvik Connect";
constexpr char kInstallLocalValue[] = "InstallLocal";
constexpr char kVersionSection[] = "RXIDS_PRODUCT_VERSION";
constexpr char kVersionKey[] = "VALUE";
constexpr char kClientSetupProgram[] = "setup.exe";
constexpr char kInstallHelperLibrary[] = "InstallHelper.dll";
constexpr char kPostInstallFunction[] = "PostInstall";
constexpr char kWindowsVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr DWORD kVersionValueBytes = 1024;

using PostInstallFunction = int(WINAPI*)();

struct StdioFileCloser
{
    void operator()(FILE* file) const { std::fclose(file); }
};

// The client's installation folder as its setup registered it, and the size in
// bytes that the registry reported for it.
bool QueryInstallLocal(std::string& value, DWORD& reportedSize)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClientKey, 0, KEY_QUERY_VALUE, key.receive()) !=
        ERROR_SUCCESS)
    {
        key.release();
        WriteLog("ERR: Open REG key:%s error...", kClientKey);
        return false;
    }
    std::vector<char> buffer(256, '\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    LONG status;
    while ((status = RegQueryValueExA(key.get(), kInstallLocalValue, nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(buffer.data()), &size)) ==
           ERROR_MORE_DATA)
    {
        buffer.assign(size + 1, '\0');
        size = static_cast<DWORD>(buffer.size());
    }
    key.reset();
    if (status != ERROR_SUCCESS)
    {
        WriteLog("ERR: Get client app path failed!");
        return false;
    }
    // A stored value need not end in a terminator: the buffer's zero fill ends it,
    // and a value that fills the buffer exactly is cut at its size.
    const std::size_t length = size < buffer.size() ? size : buffer.size();
    value.assign(buffer.data(), strnlen(buffer.data(), length));
    reportedSize = size;
    return true;
}

// 1 when the client is missing, 0 when its registration could be read.
int DetectClient()
{
    std::string folder;
    DWORD size = 0;
    if (!QueryInstallLocal(folder, size))
        return 1;
    WriteLog("INF: Detect client app: %s, Len: %d, SUC...", folder.c_str(), static_cast<int>(size));
    return 0;
}

bool GetInstallPath(std::string& folder)
{
    DWORD size = 0;
    if (!QueryInstallLocal(folder, size))
        return false;
    WriteLog("INF: Get client app path: %s, SUC...", folder.c_str());
    return true;
}

// 0 when a present device has the hardware id and the mass-storage compatible id.
int DetectMassStorage(const std::string& hardwareId)
{
    WriteLog("STA: Detect the Mass storage device...");
    DeviceInfoSet deviceSet(
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!deviceSet)
    {
        WriteLog("ERR: SetupDiGetClassDevs error...");
        return 1;
    }
    const bool found = WalkDevicesWithHardwareId(
        deviceSet.get(), hardwareId,
        [&](SP_DEVINFO_DATA& device)
        {
            WriteLog("INF: Finded device, ID: %s...", hardwareId.c_str());
            return !HasCompatibleId(deviceSet.get(), device, kMassStorageCompatibleId);
        });
    deviceSet.reset();
    if (found)
    {
        WriteLog("END: Finded the Mass storage device, SUC...");
        return 0;
    }
    WriteLog("END: Not finded the Mass storage device...");
    return 1;
}

// True when the installed client's version text equals the CD's, byte for byte.
bool CompareVersion()
{
    WriteLog("INF: Compare client app ver, STA...");
    std::string installFolder;
    if (!GetInstallPath(installFolder))
    {
        WriteLog("ERR: Get client app install path error...");
        return false;
    }
    std::string cdFolder;
    if (!GetModulePath(cdFolder))
    {
        WriteLog("ERR: Get Module path error...");
        return false;
    }
    // The registered folder is a prefix: it carries its own trailing backslash.
    const std::string installedFile = installFolder + kSysConfigFile;
    const std::string cdFile = cdFolder + "\\" + kSysConfigFile;
    std::string installedVersion;
    if (!ReadIniValue(installedFile, kVersionSection, kVersionKey, installedVersion))
    {
        WriteLog("ERR: Read local ini file error, File Name: %s...", installedFile.c_str());
        return false;
    }
    std::string cdVersion;
    if (!ReadIniValue(cdFile, kVersionSection, kVersionKey, cdVersion))
    {
        WriteLog("ERR: Read mass ini file error, File Name: %s...", cdFile.c_str());
        return false;
    }
    if (installedVersion == cdVersion)
    {
        WriteLog("INF: Compare client app ver, ==, VER: %s...", installedVersion.c_str());
        return true;
    }
    WriteLog("INF: Compare client app ver, !=, VER1: %s, VER2: %s...", cdVersion.c_str(),
             installedVersion.c_str());
    return false;
}

bool IsDriverInf(const std::string& path, const std::string& hardwareId)
{
    std::string head(kInfHeadBytes, '\0');
    {
        // Read untranslated: in text mode every CR dropped from a line end would pull
        // one more byte of the file into the head, beyond its 2048 bytes.
        std::unique_ptr<FILE, StdioFileCloser> file(std::fopen(path.c_str(), "rb"));
        if (!file)
        {
            WriteLog("ERR: Open file failed...");
            return false;
        }
        head.resize(std::fread(&head[0], 1, head.size(), file.get()));
    }
    if (!InfHeadMentionsId(head, hardwareId))
        return false;
    WriteLog("INF: Is driver inf file, YES...");
    return true;
}

// True when an installed oem inf file mentions the hardware id.
bool ScanDriverInf(const std::string& hardwareId)
{
    char windowsDir[300] = {};
    const UINT length = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    if (length == 0 || length >= sizeof windowsDir)
    {
        WriteLog("ERR: Get inf dir failed...");
        return false;
    }
    const std::string pattern = std::string(windowsDir) + "\\inf\\oem*.inf";
    WIN32_FIND_DATAA entry = {};
    FindHandle find(FindFirstFileA(pattern.c_str(), &entry));
    if (!find)
        return false;
    do
    {
        if (IsDriverInf(std::string(windowsDir) + "\\Inf\\" + entry.cFileName, hardwareId))
            return true;
    } while (FindNextFileA(find.get(), &entry));
    return false;
}

// Reads a text value of at most 1024 bytes; a longer one counts as a failure.
LONG QueryVersionText(HKEY key, const char* name, char (&buffer)[kVersionValueBytes + 1],
                      DWORD& size)
{
    size = kVersionValueBytes;
    const LONG status =
        RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    if (status == ERROR_SUCCESS && size > kVersionValueBytes)
        return ERROR_MORE_DATA;
    return status;
}

// The operating-system type 1 to 4; false when it cannot be determined.
bool DetectOsType(OsType& type)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsVersionKey, 0, KEY_READ, key.receive()) !=
        ERROR_SUCCESS)
    {
        key.release();
        WriteLog("ERR: Open Key <%s> error.\n", kWindowsVersionKey);
        return false;
    }
    // One byte beyond the value's 1024 keeps even a full, unterminated value ended.
    char version[kVersionValueBytes + 1] = {};
    DWORD size = 0;
    if (QueryVersionText(key.get(), "CurrentVersion", version, size) != ERROR_SUCCESS)
    {
        key.reset();
        WriteLog("ERR: QueryValue <%s> error.\n", "CurrentVersion");
        return false;
    }
    const double number = std::strtod(version, nullptr);
    WriteLog("INF: QueryValue <%s %s> OK, STR: <%s>, DW: <%f>.\n", kWindowsVersionKey,
             "CurrentVersion", version, number);
    if (number < 5.0)
    {
        WriteLog("ERR: not windows 2000 or windows xp or Vista.\n");
        return false;
    }
    if (number == 5.0)
    {
        WriteLog("INF: Windows 20000.\n");
        type = OS_TYPE_WIN2K;
        return true;
    }
    if (number < 6.0)
    {
        WriteLog("INF: Windows XP.\n");
        type = OS_TYPE_WINXP;
        return true;
    }
    WriteLog("INF: Vista.\n");
    char buildLab[kVersionValueBytes + 1] = {};
    const LONG status = QueryVersionText(key.get(), "BuildLabEx", buildLab, size);
    if (status != ERROR_SUCCESS)
    {
        WriteLog("ERR: BuildEx <%s> error <%d>, Len <%d>,<%s>.\n", "BuildLabEx",
                 static_cast<int>(status), static_cast<int>(size), buildLab);
        return false;
    }
    WriteLog("INF: BuildEx <%s> OK, <%s>.\n", "BuildLabEx", buildLab);
    const OsType found = OsTypeFromBuildLab(buildLab);
    if (found == OS_TYPE_UNKNOWN)
    {
        WriteLog("ERR: Check BuildEx <%s> error, <%s>.\n", "BuildLabEx", buildLab);
        return false;
    }
    type = found;
    return true;
}

// Calls the installed client's "PostInstall"; the library stays loaded until the
// program ends. False when the library cannot be loaded.
bool RunPostInstall(const std::string& installFolder)
{
    const std::string path = installFolder + kInstallHelperLibrary;
    HMODULE library = LoadLibraryA(path.c_str());
    if (!library)
        return false;
    const auto postInstall =
        reinterpret_cast<PostInstallFunction>(GetProcAddress(library, kPostInstallFunction));
    // A library without the function is a broken client installation, not a reason
    // to leave the modem in its CD-ROM mode: log it and go on.
    if (!postInstall)
    {
        WriteLog("ERR: GetProcAddress error, Name: %s, File Name: %s...", kPostInstallFunction,
                 path.c_str());
        return true;
    }
    postInstall();
    return true;
}

// Hands Devsweep to the shell once the modem's driver is installed.
bool StartDevsweep(const std::string& hardwareId, const std::string& cdFolder)
{
    if (!ScanDriverInf(hardwareId))
        return false;
    WriteLog("INF: Finded driver files, reset device...");
    std::string installFolder;
    if (!GetInstallPath(installFolder))
    {
        WriteLog("ERR: Get client app install path error...");
        return false;
    }
    if (!RunPostInstall(installFolder))
        return false;
    const std::string driverFolder = installFolder + "driver\\";
    OsType type = OS_TYPE_WIN2K;
    DetectOsType(type);
    const std::string program = driverFolder + DevsweepProgramFor(type);
    WriteLog("Devsweep dir is %s", program.c_str());
    ShellExecuteA(nullptr, "open", program.c_str(), cdFolder.c_str(), driverFolder.c_str(),
                  SW_HIDE);
    WriteLog("END: Run the Devsweep..");
    return true;
}

void CopySysConfigToTemp(const std::string& cdFolder, const std::string& tempCopy)
{
    RemoveFile(tempCopy);
    CopyFileA((cdFolder + "\\" + kSysConfigFile).c_str(), tempCopy.c_str(), FALSE);
}

std::string ReadHardwareId(const std::string& tempCopy)
{
    std::string hardwareId;
    if (!ReadIniValue(tempCopy, kHardwareSection, kHardwareKey, hardwareId))
    {
        WriteLog("ERR: Read mass ini file error, File Name: %s...", tempCopy.c_str());
        hardwareId = kFallbackHardwareId;
    }
    return hardwareId;
}

void RunClientSetupAndDevsweep(const std::string& hardwareId, const std::string& cdFolder)
{
    RunAndWaitClientSetup(kClientSetupProgram);
    if (!StartDevsweep(hardwareId, cdFolder))
        WriteLog("ERR: DelCD Failed!");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TrimLog();
    WriteLog("STA: Start Launchpod...");
    if (!CheckSingleInstance())
        return 1;
    std::string cdFolder;
    if (!GetModulePath(cdFolder))
    {
        WriteLog("ERR: Get module path error!...");
        return 0;
    }
    const std::string tempCopy = TempSysConfigPath();
    CopySysConfigToTemp(cdFolder, tempCopy);
    const std::string hardwareId = ReadHardwareId(tempCopy);

    const int clientMissing = DetectClient();
    const int deviceNotFound = DetectMassStorage(hardwareId);
    if (deviceNotFound == 0 || clientMissing != 0)
    {
        WriteLog("INF: Not detected client app, or not detected all device inf...");
        RunClientSetupAndDevsweep(hardwareId, cdFolder);
    }
    else
    {
        WriteLog("INF: Detected client app inf...");
        if (!CompareVersion())
        {
            WriteLog("INF: Finded new client app ver, run client setup...");
            RunClientSetupAndDevsweep(hardwareId, cdFolder);
        }
    }
    WriteLog("END: Exit Launchpod...\n\n");
    return 0;
}
