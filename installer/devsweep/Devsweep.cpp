// Ends the modem's CD-ROM phase: has Modeflip switch the drive named on the command
// line, then removes the device instances of the modem's mass-storage interface and
// of its CD-ROM drive, present or not. Shows nothing; all progress goes to the log.

#include "DeviceIds.h"
#include "Handles.h"
#include "InstallerHelpers.h"
#include "InstallerLog.h"

#include <windows.h>
#include <setupapi.h>

#include <string>

using namespace installer;

namespace
{

#if defined(_WIN64)
constexpr char kModeflipProgram[] = "Modeflip64.exe";
#else
constexpr char kModeflipProgram[] = "Modeflip32.exe";
#endif

constexpr char kCdromHardwareId[] = "usbstor\\cdromkorvan__mass_storage____2.31";
constexpr char kCdromCompatibleId[] = "usbstor\\cdrom";
constexpr int kPasses = 3;
constexpr DWORD kPauseMs = 500;

enum RemoveResult
{
    REMOVE_DONE = 0,
    REMOVE_NO_DEVICE_SET = 1,
    REMOVE_FAILED = 2,
};

void LogInstallParams(HDEVINFO deviceSet, SP_DEVINFO_DATA& device)
{
    SP_DEVINSTALL_PARAMS_A params = {};
    params.cbSize = sizeof params;
    if (!SetupDiGetDeviceInstallParamsA(deviceSet, &device, &params))
    {
        WriteLog("ERR: SetupDiGetDeviceInstallParams error...");
        return;
    }
    WriteLog("INF: Get device install params, FLAG: %d, FLAGEX: %d, PATH: %s, ...",
             static_cast<int>(params.Flags), static_cast<int>(params.FlagsEx), params.DriverPath);
    if (params.Flags & (DI_NEEDRESTART | DI_NEEDREBOOT))
        WriteLog("INF: The device requires that the machine be rebooted after device "
                 "installation or a device state change...");
}

bool RemoveWithClassInstaller(HDEVINFO deviceSet, SP_DEVINFO_DATA& device,
                              const std::string& hardwareId)
{
    if (!SetupDiCallClassInstaller(DIF_REMOVE, deviceSet, &device))
    {
        WriteLog("ERR: SetupDiCallClassInstaller DIF_REMOVE error...");
        return false;
    }
    WriteLog("INF: SetupDiCallClassInstaller DIF_REMOVE SUC, Device ID: %s...", hardwareId.c_str());
    return true;
}

// Removes every device, present or not, that has the hardware id and the compatible id.
RemoveResult RemoveDevice(const std::string& hardwareId, const std::string& compatibleId)
{
    WriteLog("STA: Remove device, ID: %s...", hardwareId.c_str());
    DeviceInfoSet deviceSet(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (!deviceSet)
    {
        WriteLog("ERR: SetupDiGetClassDevs error...");
        return REMOVE_NO_DEVICE_SET;
    }
    RemoveResult result = REMOVE_DONE;
    WalkDevicesWithHardwareId(
        deviceSet.get(), hardwareId,
        [&](SP_DEVINFO_DATA& device)
        {
            WriteLog("INF: Find device, ID: %s...", hardwareId.c_str());
            if (HasCompatibleId(deviceSet.get(), device, compatibleId) &&
                !RemoveWithClassInstaller(deviceSet.get(), device, hardwareId))
                result = REMOVE_FAILED;
            LogInstallParams(deviceSet.get(), device);
            // A removed device does not end the walk: later ids and devices still count.
            return true;
        });
    deviceSet.reset();
    WriteLog("END: Remove device register Info, END...");
    return result;
}

// Modeflip runs only for a drive that can be opened; the drive stays open for
// reading until it has ended.
void SwitchDrive(const std::string& driveName)
{
    const std::string path = "\\\\.\\" + driveName;
    WriteLog("INF: Check path: \"%s\"!...", path.c_str());
    FileHandle drive(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, 0, nullptr));
    if (!drive)
    {
        WriteLog("INF: Device NOT_EXISTING, exit...");
        return;
    }
    WriteLog("INF: Device EXISTING, Run:%s %s...", kModeflipProgram, driveName.c_str());
    RunAndWaitDriverTool(kModeflipProgram, driveName);
}

std::string ReadHardwareId()
{
    const std::string path = TempSysConfigPath();
    std::string hardwareId;
    if (!ReadIniValue(path, kHardwareSection, kHardwareKey, hardwareId))
    {
        WriteLog("ERR: Read mass ini file error, File Name: %s...", path.c_str());
        hardwareId = kFallbackHardwareId;
    }
    return hardwareId;
}

void Sweep(const std::string& driveName)
{
    WriteLog("STA: Reset device and del...");
    SwitchDrive(driveName);
    const std::string hardwareId = ReadHardwareId();
    for (int pass = 0; pass < kPasses; ++pass)
    {
        WriteLog("INF: Del Device, ID: %s...", hardwareId.c_str());
        RemoveDevice(hardwareId, kMassStorageCompatibleId);
        Sleep(kPauseMs);
        WriteLog("INF: Del Device, ID: %s...", kCdromHardwareId);
        RemoveDevice(kCdromHardwareId, kCdromCompatibleId);
        Sleep(kPauseMs);
        WriteLog("INF: Del \"KORVAN Mass Storage USB Device\", ID: %s, ERROR...",
                 hardwareId.c_str());
    }
    WriteLog("END: Reset device and del, SUC...");
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    WriteLog("STA: Start Devsweep...");
    if (!CheckSingleInstance())
        return 1;
    Sweep(commandLine ? commandLine : "");
    WriteLog("END: Exit Devsweep...\n\n");
    return 0;
}
