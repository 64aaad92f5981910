#include "DeviceFixture.h"
#include "ExpectedLog.h"
#include "Handles.h"
#include "InstallerTestSupport.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Lines = std::vector<std::string>;

namespace
{

const bool kX64 = sizeof(void*) == 8;
const std::string kDevsweep = kX64 ? "Devsweep64.exe" : "Devsweep32.exe";
const std::string kModeflip = kX64 ? "Modeflip64.exe" : "Modeflip32.exe";

// The modem while it presents itself as mass storage: its USB interface
// (ModemMassStorageDevice) and its CD-ROM.
DeviceDeclaration CdromDevice(const std::string& instance)
{
    DeviceDeclaration device;
    device.instanceId = "USBSTOR\\CdRomKORVAN__Mass_Storage____2.31\\" + instance;
    device.hardwareIds = {"USBSTOR\\CdRomKORVAN__Mass_Storage____2.31",
                          "USBSTOR\\CdRomKORVAN__Mass_Storage____", "GenCdRom"};
    device.compatibleIds = {"USBSTOR\\CdRom", "GenCdRom"};
    device.classGuid = "{4D36E965-E325-11CE-BFC1-08002BE10318}";
    device.friendlyName = "KORVAN Mass Storage USB Device";
    return device;
}

// Same hardware id, another interface: no mass-storage compatible id.
DeviceDeclaration OtherInterface(const std::string& usbId, const std::string& instance)
{
    DeviceDeclaration device;
    device.instanceId = usbId + "\\" + instance;
    device.hardwareIds = {usbId};
    device.compatibleIds = {"USB\\Class_FF"};
    device.classGuid = USB_CLASS_GUID;
    return device;
}

class Devsweep : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveInstallerLog();
        RemoveFile(m_tempSysConfig);
        CopyFileBytes(ProgramFolder() + "\\" + kDevsweep, m_driver.File(kDevsweep));
    }
    void TearDown() override
    {
        RemoveInstallerLog();
        RemoveFile(m_tempSysConfig);
    }

    DWORD Run(const std::string& commandLine)
    {
        return RunToExit(CommandLineOf(m_driver.File(kDevsweep), commandLine));
    }

    const std::string m_tempSysConfig = TempFolderPath() + "SysConfig.dat";
    TempFolder m_driver;
};

} // namespace

TEST_F(Devsweep, SwitchesAnExistingDriveWithItsOwnModeflipThenRemovesBothTargets)
{
    const std::string usbId = "USB\\VID_7C3E&PID_2020";
    const std::string id = "usb\\vid_7c3e&pid_2020";
    WriteFileBytes(m_tempSysConfig, "[Hardware]\r\nHardware ID=" + id + "\r\n");
    CopyFileBytes(ProgramFolder() + "\\" + kModeflip, m_driver.File(kModeflip));
    const DeviceDeclaration storage = ModemMassStorageDevice(usbId, "TC-SWEEP-MS");
    const DeviceDeclaration cdrom = CdromDevice("TC-SWEEP-CD");
    const DeviceDeclaration other = OtherInterface(usbId, "TC-SWEEP-OTHER");
    DeviceFixture fixture({storage, cdrom, other});

    EXPECT_EQ(Run("C:"), 0u);

    const Met storageMet = kMassStorageMet;
    const Met otherMet{{"USB\\Class_FF"}, false};
    const Met cdromMet{{"USBSTOR\\CdRom"}, true};
    Lines expected{"STA: Start Devsweep...",
                   "STA: Reset device and del...",
                   "INF: Check path: \"\\\\.\\C:\"!...",
                   "INF: Device EXISTING, Run:" + kModeflip + " C:...",
                   "INF: Start run driver setup...",
                   "INF: Run driver setup, SUC..."};
    // The removed devices are gone in the later passes; the other interface stays.
    Append(expected, DevsweepPassLines(id, {{storageMet, otherMet}, {otherMet}, {otherMet}},
                                       {{cdromMet}, {}, {}}));
    Append(expected, {"END: Reset device and del, SUC...", "END: Exit Devsweep...", "", ""});
    EXPECT_EQ(ReadLogMessages(), expected) << DescribeLines(ReadLogMessages());

    EXPECT_FALSE(DeviceInstalled(storage));
    EXPECT_FALSE(DeviceInstalled(cdrom));
    EXPECT_TRUE(DeviceInstalled(other));
}

// Without a drive Modeflip is not started, and without the temporary settings copy
// the fallback id is swept; the removal runs all the same.
TEST_F(Devsweep, SweepsTheFallbackIdWhenTheDriveIsMissing)
{
    const DeviceDeclaration storage =
        ModemMassStorageDevice("USB\\VID_7C3E&PID_1010", "TC-SWEEP-FB");
    DeviceFixture fixture({storage});
    ASSERT_EQ(GetFileAttributesA("Q:\\"), INVALID_FILE_ATTRIBUTES);

    EXPECT_EQ(Run("Q:"), 0u);

    const std::string id = "usb\\vid_7c3e&pid_1010";
    const Met storageMet = kMassStorageMet;
    Lines expected{"STA: Start Devsweep...", "STA: Reset device and del...",
                   "INF: Check path: \"\\\\.\\Q:\"!...", "INF: Device NOT_EXISTING, exit...",
                   "ERR: Read mass ini file error, File Name: " + m_tempSysConfig + "..."};
    Append(expected, DevsweepPassLines(id, {{storageMet}, {}, {}}, {{}, {}, {}}));
    Append(expected, {"END: Reset device and del, SUC...", "END: Exit Devsweep...", "", ""});
    EXPECT_EQ(ReadLogMessages(), expected) << DescribeLines(ReadLogMessages());
    EXPECT_FALSE(DeviceInstalled(storage));
}

TEST_F(Devsweep, GoesOnToTheRemovalWhenModeflipCannotBeStarted)
{
    WriteFileBytes(m_tempSysConfig, "[Hardware]\r\nHardware ID=usb\\vid_7c3e&pid_3030\r\n");
    EXPECT_EQ(Run("C:"), 0u);

    const Lines messages = ReadLogMessages();
    const Lines head(messages.begin(),
                     messages.begin() + std::min<std::size_t>(7, messages.size()));
    EXPECT_EQ(head, (Lines{"STA: Start Devsweep...", "STA: Reset device and del...",
                           "INF: Check path: \"\\\\.\\C:\"!...",
                           "INF: Device EXISTING, Run:" + kModeflip + " C:...",
                           "INF: Start run driver setup...", "ERR: CreateProcess error...",
                           "INF: Del Device, ID: usb\\vid_7c3e&pid_3030..."}));
    ASSERT_GE(messages.size(), 3u);
    EXPECT_EQ(messages[messages.size() - 3], "END: Exit Devsweep...");
}

TEST_F(Devsweep, EndsWithOneWhileAnotherInstanceIsInItsCheck)
{
    KernelHandle holder(CreateSemaphoreA(nullptr, 1, 1, "XTR4417_SEMAPHORE_NAME"));
    ASSERT_TRUE(holder);
    EXPECT_EQ(Run("Q:"), 1u);
    EXPECT_EQ(ReadLogMessages(), (Lines{"STA: Start Devsweep...", "ERR: ERROR_ALREADY_EXISTS..."}));
}
