#include "DeviceFixture.h"
#include "DeviceIds.h"
#include "Handles.h"
#include "InstallerHelpers.h"
#include "InstallerLog.h"
#include "InstallerTestSupport.h"
#include "TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

class InstallerCommon : public ::testing::Test
{
protected:
    void SetUp() override { RemoveInstallerLog(); }
    void TearDown() override { RemoveInstallerLog(); }
};

TEST_F(InstallerCommon, ReadIniValueTellsAValueFromTheMarkerDefault)
{
    TempFolder folder;
    WriteFileBytes(folder.File("SysConfig.dat"),
                   "[Hardware]\r\nHardware ID=usb\\vid_7c3e&pid_2020\r\n"
                   "Empty=\r\nMarker=This value is not found\r\n"
                   "Long=" +
                       std::string(200, 'v') + "\r\n");
    struct Case
    {
        const char* file;
        const char* key;
        bool found;
        std::string value;
    };
    const Case cases[] = {
        {"SysConfig.dat", "Hardware ID", true, "usb\\vid_7c3e&pid_2020"},
        {"SysConfig.dat", "hardware id", true, "usb\\vid_7c3e&pid_2020"},
        {"SysConfig.dat", "Empty", true, ""},
        {"SysConfig.dat", "Missing", false, "This value is not found"},
        {"SysConfig.dat", "Marker", false, "This value is not found"},
        {"SysConfig.dat", "Long", true, std::string(127, 'v')},
        {"Missing.dat", "Hardware ID", false, "This value is not found"},
    };
    for (const Case& c : cases)
    {
        std::string value = "before";
        EXPECT_EQ(installer::ReadIniValue(folder.File(c.file), "Hardware", c.key, value), c.found)
            << c.file << " " << c.key;
        EXPECT_EQ(value, c.value) << c.key;
    }
    EXPECT_TRUE(ReadLogMessages().empty());
}

TEST_F(InstallerCommon, WriteLogAppendsTimedRecordsWithCrLfAndCutsLongMessages)
{
    installer::WriteLog("STA: Start %s...", "Devsweep");
    installer::WriteLog("END: Exit Devsweep...\n\n");
    const std::string longPath = "C:\\" + std::string(400, 'x');
    installer::WriteLog("INF: Delete file, SUC, Name: %s...", longPath.c_str());

    const std::string cut = ("INF: Delete file, SUC, Name: " + longPath).substr(0, 255);
    EXPECT_EQ(ReadLogMessages(),
              (Lines{"STA: Start Devsweep...", "END: Exit Devsweep...", "", "", cut}));
    const std::string bytes = ReadFileBytes(InstallerLogPath());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    EXPECT_NE(bytes.find("Exit Devsweep...\r\n\r\n\r\n"), std::string::npos);
    // Every line end reaches the file as CR LF.
    EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'),
              std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST_F(InstallerCommon, TrimLogDeletesTheLogFrom20480Bytes)
{
    struct Case
    {
        std::size_t size;
        bool deleted;
    };
    for (const Case& c : {Case{20479, false}, Case{20480, true}, Case{30000, true}})
    {
        WriteFileBytes(InstallerLogPath(), std::string(c.size, 'l'));
        installer::TrimLog();
        if (c.deleted)
        {
            // The deletion's own line starts the new log.
            EXPECT_EQ(ReadLogMessages(),
                      Lines{"INF: Delete file, SUC, Name: " + InstallerLogPath() + "..."})
                << c.size;
        }
        else
        {
            EXPECT_EQ(ReadFileBytes(InstallerLogPath()).size(), c.size);
        }
        RemoveInstallerLog();
    }
    // Neither a missing nor an empty log leaves a line about deleting it.
    installer::TrimLog();
    EXPECT_FALSE(FileExists(InstallerLogPath()));
    WriteFileBytes(InstallerLogPath(), "");
    installer::TrimLog();
    EXPECT_EQ(ReadFileBytes(InstallerLogPath()), "");
}

TEST_F(InstallerCommon, RemoveFileDeletesReadOnlyFilesAndLogsBothOutcomes)
{
    TempFolder folder;
    WriteFileBytes(folder.File("SysConfig.dat"), "[Hardware]\r\n");
    SetFileAttributesA(folder.File("SysConfig.dat").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_TRUE(installer::RemoveFile(folder.File("SysConfig.dat")));
    EXPECT_FALSE(FileExists(folder.File("SysConfig.dat")));
    EXPECT_FALSE(installer::RemoveFile(folder.File("SysConfig.dat")));
    EXPECT_EQ(ReadLogMessages(),
              (Lines{"INF: Delete file, SUC, Name: " + folder.File("SysConfig.dat") + "...",
                     "ERR: DeleteFile error, Name: " + folder.File("SysConfig.dat") + "..."}));
}

TEST_F(InstallerCommon, SingleInstanceCheckHoldsNothingAndSeesAHolder)
{
    EXPECT_TRUE(installer::CheckSingleInstance());
    EXPECT_TRUE(installer::CheckSingleInstance()); // the first check released the name
    {
        KernelHandle holder(CreateSemaphoreA(nullptr, 1, 1, "XTR4417_SEMAPHORE_NAME"));
        ASSERT_TRUE(holder);
        EXPECT_FALSE(installer::CheckSingleInstance());
    }
    EXPECT_TRUE(installer::CheckSingleInstance());
    EXPECT_EQ(ReadLogMessages(), Lines{"ERR: ERROR_ALREADY_EXISTS..."});
}

namespace
{
DeviceDeclaration UsbDevice(const std::string& instance, std::vector<std::string> compatibleIds)
{
    DeviceDeclaration device;
    device.instanceId = "USB\\VID_7C3E&PID_1010\\" + instance;
    device.hardwareIds = {"USB\\VID_7C3E&PID_1010&REV_0100", "USB\\VID_7C3E&PID_1010"};
    device.compatibleIds = std::move(compatibleIds);
    device.classGuid = USB_CLASS_GUID;
    device.friendlyName = "Korvan test device";
    return device;
}

// Runs the check on the declared device as the installers see it in the device set.
bool CompatibleIdOf(const DeviceDeclaration& declared, const std::string& id)
{
    DeviceInfoSet set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.get(), i, &device); ++i)
    {
        char instance[256] = {};
        SetupDiGetDeviceInstanceIdA(set.get(), &device, instance, sizeof instance, nullptr);
        if (lstrcmpiA(instance, declared.instanceId.c_str()) == 0)
            return installer::HasCompatibleId(set.get(), device, id);
    }
    ADD_FAILURE() << "device not enumerated: " << declared.instanceId;
    return false;
}
} // namespace

TEST_F(InstallerCommon, HasCompatibleIdLogsEachIdAsReadAndTheOutcome)
{
    const DeviceDeclaration storage =
        UsbDevice("TC-STORAGE", {"USB\\Class_08&SubClass_06&Prot_50", "USB\\Class_08"});
    const DeviceDeclaration other = UsbDevice("TC-OTHER", {"USB\\Class_FF"});
    const DeviceDeclaration bare = UsbDevice("TC-BARE", {});
    DeviceFixture fixture({storage, other, bare});
    const std::string massStorage = "usb\\class_08&subclass_06&prot_50";

    EXPECT_TRUE(CompatibleIdOf(storage, massStorage));
    EXPECT_FALSE(CompatibleIdOf(other, massStorage));
    EXPECT_FALSE(CompatibleIdOf(bare, massStorage));
    EXPECT_EQ(ReadLogMessages(),
              (Lines{"INF: Finded device compatible ID: USB\\Class_08&SubClass_06&Prot_50...",
                     "INF: Compared: usb\\class_08&subclass_06&prot_50...",
                     "INF: Finded device compatible ID: USB\\Class_FF...",
                     "INF: Can't compared compatible ID: usb\\class_08&subclass_06&prot_50...",
                     "INF: Can't compared compatible ID: usb\\class_08&subclass_06&prot_50..."}));
}

// The log comparison of two programs writing at once rests on this check.
TEST(LogInterleaving, AcceptsMergesInOrderAndRejectsEverythingElse)
{
    const Lines a{"a1", "", "a2"};
    const Lines b{"b1", "b2"};
    EXPECT_TRUE(IsInterleaving({"a1", "b1", "", "b2", "a2"}, a, b));
    EXPECT_TRUE(IsInterleaving({"b1", "b2", "a1", "", "a2"}, a, b));
    EXPECT_FALSE(IsInterleaving({"a1", "b2", "", "b1", "a2"}, a, b)); // b out of order
    EXPECT_FALSE(IsInterleaving({"a1", "b1", "", "b2"}, a, b));       // a line missing
    EXPECT_FALSE(IsInterleaving({"a1", "b1", "", "b2", "a2", ""}, a, b));
    EXPECT_FALSE(IsInterleaving({"a1", "b1", "x", "b2", "a2"}, a, b));
}
