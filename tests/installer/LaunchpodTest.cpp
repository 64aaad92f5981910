#include "DeviceFixture.h"
#include "ExpectedLog.h"
#include "Handles.h"
#include "InstallerTestSupport.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace
{

const std::string kHardwareId = "usb\\vid_7c3e&pid_4040";
const std::string kClientKey = "SOFTWARE\\Korvan technologies\\Torvik Connect";
const std::string kVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const std::string kX86BuildLab = "7601.17514.x86fre.win7sp1_rtm.101119-1850";
const std::string kAmd64BuildLab = "7601.17514.amd64fre.win7sp1_rtm.101119-1850";

std::string SysConfig(const std::string& version)
{
    return "[Hardware]\r\nHardware ID=" + kHardwareId +
           "\r\n[RXIDS_PRODUCT_VERSION]\r\nVALUE=" + version + "\r\n";
}

std::string StandIn(const std::string& name)
{
    return ProgramFolder("TC_STAND_INS") + "\\" + name;
}

std::string WindowsFolder()
{
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

DeviceDeclaration MassStorageDevice()
{
    return ModemMassStorageDevice("USB\\VID_7C3E&PID_4040", "TC-LAUNCHPOD-MS");
}

// The CD (Launchpod, its settings and the client's setup), the installed client
// (settings, helper library, driver folder), the Windows version Launchpod reads,
// and a fresh log; the client's registration and the driver inf are up to each test.
class Launchpod : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RemoveInstallerLog();
        DeleteFileA(m_tempSysConfig.c_str());
        CopyFileBytes(ProgramFolder() + "\\Launchpod.exe", m_cd.File("Launchpod.exe"));
        WriteFileBytes(m_cd.File("SysConfig.dat"), SysConfig("1.0.4"));
        MakeFolder(m_cd.File("Client"));
        CopyFileBytes(StandIn("setup_stand_in.exe"), m_cd.File("Client\\setup.exe"));

        WriteFileBytes(m_client.File("SysConfig.dat"), SysConfig("1.0.4"));
        CopyFileBytes(StandIn("install_helper_stand_in.dll"), m_client.File("InstallHelper.dll"));
        MakeFolder(m_client.File("driver"));
        CopyFileBytes(ProgramFolder() + "\\Devsweep32.exe",
                      m_client.File("driver\\Devsweep32.exe"));
        CopyFileBytes(ProgramFolder() + "\\Modeflip32.exe",
                      m_client.File("driver\\Modeflip32.exe"));
        SetCurrentVersion("6.1");
        SetBuildLab(kX86BuildLab);
    }

    void TearDown() override
    {
        DeleteFileA(m_driverInf.c_str());
        DeleteFileA(m_tempSysConfig.c_str());
        RemoveInstallerLog();
    }

    void RegisterClient() { RegisterClient(InstallFolder()); }
    void RegisterClient(const std::string& folder)
    {
        m_registration.reset();
        m_registration = std::make_unique<ScopedRegistryValue>(HKEY_LOCAL_MACHINE, kClientKey,
                                                               "InstallLocal", folder);
    }
    void SetCurrentVersion(const std::string& version)
    {
        m_currentVersion.reset();
        m_currentVersion = std::make_unique<ScopedRegistryValue>(HKEY_LOCAL_MACHINE, kVersionKey,
                                                                 "CurrentVersion", version);
    }
    void SetBuildLab(const std::optional<std::string>& buildLab)
    {
        m_buildLab.reset();
        m_buildLab = std::make_unique<ScopedRegistryValue>(HKEY_LOCAL_MACHINE, kVersionKey,
                                                           "BuildLabEx", buildLab);
    }
    void InstallDriverInf()
    {
        // The id sits in the inf's head in another letter case.
        WriteFileBytes(m_driverInf, "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Modem\r\n"
                                    "[Models]\r\n%Modem%=Modem,USB\\VID_7C3E&PID_4040&MI_00\r\n");
    }

    DWORD RunLaunchpod() { return RunToExit(CommandLineOf(m_cd.File("Launchpod.exe"))); }

    // Launchpod does not wait for Devsweep: the test waits for Devsweep's last line.
    void WaitForDevsweep()
    {
        ASSERT_TRUE(WaitForLogMessage("END: Exit Devsweep...", 60000))
            << DescribeLines(ReadLogMessages());
    }

    // Launchpod's folder has no trailing backslash; the registered one has.
    std::string CdFolder() const { return m_cd.Path().substr(0, m_cd.Path().size() - 1); }
    std::string InstallFolder() const { return m_client.Path(); }
    bool SetupRan() const { return FileExists(m_cd.File("Client\\setup-ran.txt")); }
    bool PostInstallRan() const { return FileExists(m_client.File("postinstall-ran.txt")); }

    // Pieces of Launchpod's log.
    Lines StartLines() const
    {
        return {"STA: Start Launchpod...", "INF: Get module path, SUC...",
                "ERR: DeleteFile error, Name: " + m_tempSysConfig + "..."};
    }
    Lines ClientFoundLines() const
    {
        return {"INF: Detect client app: " + InstallFolder() +
                ", Len: " + std::to_string(InstallFolder().size() + 1) + ", SUC..."};
    }
    static Lines ClientMissingLines() { return {"ERR: Open REG key:" + kClientKey + " error..."}; }
    static Lines MassStorageFoundLines()
    {
        return {"STA: Detect the Mass storage device...",
                "INF: Finded device, ID: " + kHardwareId + "...",
                "INF: Finded device compatible ID: USB\\Class_08&SubClass_06&Prot_50...",
                "INF: Compared: usb\\class_08&subclass_06&prot_50...",
                "END: Finded the Mass storage device, SUC..."};
    }
    static Lines MassStorageAbsentLines()
    {
        return {"STA: Detect the Mass storage device...",
                "END: Not finded the Mass storage device..."};
    }
    static Lines ClientSetupLines()
    {
        return {"INF: Get module path, SUC...", "INF: Start run client setup...",
                "INF: Run client setup, SUC..."};
    }
    Lines CompareLines(const std::string& cdVersion, const std::string& installedVersion) const
    {
        Lines lines{"INF: Detected client app inf...", "INF: Compare client app ver, STA...",
                    "INF: Get client app path: " + InstallFolder() + ", SUC...",
                    "INF: Get module path, SUC..."};
        if (cdVersion == installedVersion)
            lines.push_back("INF: Compare client app ver, ==, VER: " + installedVersion + "...");
        else
            Append(lines, {"INF: Compare client app ver, !=, VER1: " + cdVersion +
                               ", VER2: " + installedVersion + "...",
                           "INF: Finded new client app ver, run client setup..."});
        return lines;
    }
    // What the operating-system check logs for a version and build text.
    static Lines OsTypeLines(const std::string& version, const std::string& number,
                             const Lines& verdict)
    {
        Lines lines{"INF: QueryValue <" + kVersionKey + " CurrentVersion> OK, STR: <" + version +
                        ">, DW: <" + number + ">.",
                    ""};
        Append(lines, verdict);
        return lines;
    }
    static Lines VistaLines(const std::string& buildLab)
    {
        return OsTypeLines(
            "6.1", "6.100000",
            {"INF: Vista.", "", "INF: BuildEx <BuildLabEx> OK, <" + buildLab + ">.", ""});
    }
    Lines StartDevsweepLines(const Lines& osTypeLines, const std::string& program,
                             const Lines& afterPath = {}) const
    {
        Lines lines{"INF: Is driver inf file, YES...", "INF: Finded driver files, reset device...",
                    "INF: Get client app path: " + InstallFolder() + ", SUC..."};
        Append(lines, afterPath);
        Append(lines, osTypeLines);
        Append(lines, {"Devsweep dir is " + InstallFolder() + "driver\\" + program,
                       "END: Run the Devsweep.."});
        return lines;
    }
    static Lines EndLines() { return {"END: Exit Launchpod...", "", ""}; }
    // The setup runs, but no driver inf is installed: Launchpod ends without Devsweep.
    static Lines SetupWithoutDevsweepLines()
    {
        Lines lines = ClientSetupLines();
        lines.push_back("ERR: DelCD Failed!");
        Append(lines, EndLines());
        return lines;
    }

    // Launchpod's lines alone.
    void ExpectLog(const Lines& launchpod)
    {
        const Lines log = ReadLogMessages();
        EXPECT_EQ(log, launchpod) << DescribeLines(log);
    }

    // A registered client, the driver inf and the mass-storage device present: Launchpod
    // runs the setup and hands over to the x86 Devsweep, which removes the device.
    // Lines of loading the helper library go between the path and the OS check.
    void RunWithMassStorageDevice(const DeviceDeclaration& storage, const Lines& helperLines)
    {
        RegisterClient();
        InstallDriverInf();
        DeviceFixture fixture({storage});

        EXPECT_EQ(RunLaunchpod(), 0u);
        WaitForDevsweep();

        Lines launchpod = StartLines();
        Append(launchpod, ClientFoundLines());
        Append(launchpod, MassStorageFoundLines());
        launchpod.push_back("INF: Not detected client app, or not detected all device inf...");
        Append(launchpod, ClientSetupLines());
        Append(launchpod,
               StartDevsweepLines(VistaLines(kX86BuildLab), "Devsweep32.exe", helperLines));
        Append(launchpod, EndLines());
        ExpectLog(launchpod, DevsweepWithoutDriveLines(CdFolder(), kHardwareId, {kMassStorageMet}));
        EXPECT_FALSE(DeviceInstalled(storage));
    }

    // A registered but outdated client, the driver inf and no device: Launchpod runs
    // the setup and hands over to the Devsweep program after the OS check's lines.
    void RunForOutdatedClient(const std::string& cdVersion, const std::string& installedVersion,
                              const Lines& osTypeLines, const std::string& program)
    {
        EXPECT_EQ(RunLaunchpod(), 0u);
        WaitForDevsweep();

        Lines launchpod = StartLines();
        Append(launchpod, ClientFoundLines());
        Append(launchpod, MassStorageAbsentLines());
        Append(launchpod, CompareLines(cdVersion, installedVersion));
        Append(launchpod, ClientSetupLines());
        Append(launchpod, StartDevsweepLines(osTypeLines, program));
        Append(launchpod, EndLines());
        ExpectLog(launchpod, DevsweepWithoutDriveLines(CdFolder(), kHardwareId, {}));
    }

    // Launchpod's own lines and Devsweep's, written at the same time.
    void ExpectLog(const Lines& launchpod, const Lines& devsweep)
    {
        const Lines log = ReadLogMessages();
        EXPECT_TRUE(IsInterleaving(log, launchpod, devsweep))
            << "log:\n"
            << DescribeLines(log) << "Launchpod:\n"
            << DescribeLines(launchpod) << "Devsweep:\n"
            << DescribeLines(devsweep);
    }

    const std::string m_tempSysConfig = TempFolderPath() + "SysConfig.dat";
    const std::string m_driverInf =
        WindowsFolder() + "\\inf\\oem" + std::to_string(GetCurrentProcessId()) + ".inf";
    TempFolder m_cd;
    TempFolder m_client;
    std::unique_ptr<ScopedRegistryValue> m_currentVersion;
    std::unique_ptr<ScopedRegistryValue> m_buildLab;
    std::unique_ptr<ScopedRegistryValue> m_registration;
};

} // namespace

TEST_F(Launchpod, MassStorageDeviceMakesItRunSetupAndDevsweepEvenForACurrentClient)
{
    RunWithMassStorageDevice(MassStorageDevice(), {});

    EXPECT_EQ(ReadFileBytes(m_cd.File("Client\\setup-ran.txt")),
              m_cd.File("Client\\setup.exe\r\n"));
    EXPECT_EQ(ReadFileBytes(m_client.File("postinstall-ran.txt")), "PostInstall\r\n");
    EXPECT_EQ(ReadFileBytes(m_tempSysConfig), SysConfig("1.0.4"));
}

TEST_F(Launchpod, MissingClientRunsSetupButCannotStartDevsweepWithoutItsFolder)
{
    InstallDriverInf();
    EXPECT_EQ(RunLaunchpod(), 0u);

    Lines expected = StartLines();
    Append(expected, ClientMissingLines());
    Append(expected, MassStorageAbsentLines());
    expected.push_back("INF: Not detected client app, or not detected all device inf...");
    Append(expected, ClientSetupLines());
    Append(expected,
           {"INF: Is driver inf file, YES...", "INF: Finded driver files, reset device..."});
    Append(expected, ClientMissingLines());
    Append(expected, {"ERR: Get client app install path error...", "ERR: DelCD Failed!"});
    Append(expected, EndLines());
    ExpectLog(expected);
    EXPECT_TRUE(SetupRan());
    EXPECT_FALSE(PostInstallRan());
}

// Also starts from a log that has reached its size limit: it is deleted first.
TEST_F(Launchpod, CurrentClientWithoutDeviceRunsNothing)
{
    RegisterClient();
    InstallDriverInf();
    WriteFileBytes(InstallerLogPath(), std::string(20480, 'l'));

    EXPECT_EQ(RunLaunchpod(), 0u);

    Lines expected{"INF: Delete file, SUC, Name: " + InstallerLogPath() + "..."};
    Append(expected, StartLines());
    Append(expected, ClientFoundLines());
    Append(expected, MassStorageAbsentLines());
    Append(expected, CompareLines("1.0.4", "1.0.4"));
    Append(expected, EndLines());
    ExpectLog(expected);
    EXPECT_FALSE(SetupRan());
    EXPECT_FALSE(PostInstallRan());
}

// Versions differing only in letter case count as different; on x64 Windows the
// x64 Devsweep is started.
TEST_F(Launchpod, OutdatedClientRunsSetupAndTheDevsweepOfTheArchitecture)
{
    const std::string devsweep64 = ProgramFolder("TC_INSTALLER_BIN64") + "\\Devsweep64.exe";
    ASSERT_TRUE(FileExists(devsweep64)) << "build the win64 preset first";
    CopyFileBytes(devsweep64, m_client.File("driver\\Devsweep64.exe"));
    DeleteFileA(m_client.File("driver\\Devsweep32.exe").c_str());
    WriteFileBytes(m_client.File("SysConfig.dat"), SysConfig("1.0.4A"));
    WriteFileBytes(m_cd.File("SysConfig.dat"), SysConfig("1.0.4a"));
    SetBuildLab(kAmd64BuildLab);
    RegisterClient();
    InstallDriverInf();

    RunForOutdatedClient("1.0.4a", "1.0.4A", VistaLines(kAmd64BuildLab), "Devsweep64.exe");
    EXPECT_TRUE(SetupRan());
    EXPECT_TRUE(PostInstallRan());
}

TEST_F(Launchpod, WithoutDriverInfDevsweepIsNotStarted)
{
    RegisterClient();
    WriteFileBytes(m_cd.File("SysConfig.dat"), SysConfig("1.0.5"));
    // An inf that names the id only after its first 2048 bytes does not count, also
    // when the CR of each line end is counted: 204 lines of 10 bytes, then the id
    // across byte 2048.
    std::string inf;
    for (int line = 0; line < 204; ++line)
        inf += ";;;;;;;;\r\n";
    ASSERT_EQ(inf.size(), 2040u);
    WriteFileBytes(m_driverInf, inf + kHardwareId + "\r\n");

    EXPECT_EQ(RunLaunchpod(), 0u);

    Lines expected = StartLines();
    Append(expected, ClientFoundLines());
    Append(expected, MassStorageAbsentLines());
    Append(expected, CompareLines("1.0.5", "1.0.4"));
    Append(expected, SetupWithoutDevsweepLines());
    ExpectLog(expected);
    EXPECT_FALSE(PostInstallRan());
}

// A version that cannot be read counts as a new one: the setup runs. The registered
// folder is a prefix, so one without trailing backslash runs into the file's name;
// without the CD's settings the hardware id falls back as well.
TEST_F(Launchpod, AVersionThatCannotBeReadCountsAsNew)
{
    const std::string bare = InstallFolder().substr(0, InstallFolder().size() - 1);
    const std::string cdSysConfig = CdFolder() + "\\SysConfig.dat";
    struct Case
    {
        const char* what;
        std::string registered;
        std::string cdSettings; // empty: the CD has no "SysConfig.dat"
        Lines idLines;          // reading the hardware id from the temporary copy
        std::string versionError;
    };
    const Case cases[] = {
        {"registered folder without backslash",
         bare,
         SysConfig("1.0.4"),
         {},
         "ERR: Read local ini file error, File Name: " + bare + "SysConfig.dat..."},
        {"CD settings without version",
         InstallFolder(),
         "[Hardware]\r\nHardware ID=" + kHardwareId + "\r\n",
         {},
         "ERR: Read mass ini file error, File Name: " + cdSysConfig + "..."},
        {"no CD settings",
         InstallFolder(),
         "",
         {"ERR: Read mass ini file error, File Name: " + m_tempSysConfig + "..."},
         "ERR: Read mass ini file error, File Name: " + cdSysConfig + "..."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        RemoveInstallerLog();
        RemoveFile(m_tempSysConfig);
        RemoveFile(m_cd.File("Client\\setup-ran.txt"));
        RemoveFile(m_cd.File("SysConfig.dat"));
        if (!c.cdSettings.empty())
            WriteFileBytes(m_cd.File("SysConfig.dat"), c.cdSettings);
        RegisterClient(c.registered);

        EXPECT_EQ(RunLaunchpod(), 0u);

        Lines expected = StartLines();
        Append(expected, c.idLines);
        Append(expected, {"INF: Detect client app: " + c.registered +
                          ", Len: " + std::to_string(c.registered.size() + 1) + ", SUC..."});
        Append(expected, MassStorageAbsentLines());
        Append(expected, {"INF: Detected client app inf...", "INF: Compare client app ver, STA...",
                          "INF: Get client app path: " + c.registered + ", SUC...",
                          "INF: Get module path, SUC...", c.versionError,
                          "INF: Finded new client app ver, run client setup..."});
        Append(expected, SetupWithoutDevsweepLines());
        ExpectLog(expected);
        EXPECT_TRUE(SetupRan());
    }
}

// A helper library without "PostInstall" is logged and Devsweep starts all the same.
TEST_F(Launchpod, HelperWithoutPostInstallIsLoggedAndDevsweepStillStarts)
{
    CopyFileBytes(StandIn("install_helper_without_entry.dll"), m_client.File("InstallHelper.dll"));
    RunWithMassStorageDevice(MassStorageDevice(),
                             {"ERR: GetProcAddress error, Name: PostInstall, File Name: " +
                              InstallFolder() + "InstallHelper.dll..."});
    EXPECT_FALSE(PostInstallRan());
}

// Every version that is not 6 or later on x64 gets the x86 Devsweep, also when the
// version cannot be classified.
TEST_F(Launchpod, ChoosesTheX86DevsweepForEveryOtherWindowsVersion)
{
    struct Case
    {
        const char* version;
        std::optional<std::string> buildLab; // none: no such value
        Lines osTypeLines;
    };
    const Case cases[] = {
        {"5.0", "", OsTypeLines("5.0", "5.000000", {"INF: Windows 20000.", ""})},
        {"5.2", "3790.amd64fre", OsTypeLines("5.2", "5.200000", {"INF: Windows XP.", ""})},
        {"4.0", "",
         OsTypeLines("4.0", "4.000000", {"ERR: not windows 2000 or windows xp or Vista.", ""})},
        {"6.1", "7601.armfre",
         OsTypeLines("6.1", "6.100000",
                     {"INF: Vista.", "", "INF: BuildEx <BuildLabEx> OK, <7601.armfre>.", "",
                      "ERR: Check BuildEx <BuildLabEx> error, <7601.armfre>.", ""})},
        // The error code and the length are what the registry answered.
        {"6.0", std::nullopt,
         OsTypeLines(
             "6.0", "6.000000",
             {"INF: Vista.", "", "ERR: BuildEx <BuildLabEx> error <2>, Len <1024>,<>.", ""})},
    };
    RegisterClient();
    InstallDriverInf();
    WriteFileBytes(m_cd.File("SysConfig.dat"), SysConfig("1.0.5"));
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.version);
        RemoveInstallerLog();
        DeleteFileA(m_tempSysConfig.c_str());
        SetCurrentVersion(c.version);
        SetBuildLab(c.buildLab);

        RunForOutdatedClient("1.0.5", "1.0.4", c.osTypeLines, "Devsweep32.exe");
    }
}

// Run from a folder so deep that "<folder>\Client\setup.exe" exceeds 259 characters:
// the setup's command line is refused rather than cut.
TEST_F(Launchpod, RefusesASetupCommandLineLongerThanItsBuffer)
{
    const std::string deep(243 - m_cd.Path().size(), 'd');
    MakeFolder(m_cd.File(deep));
    CopyFileBytes(m_cd.File("Launchpod.exe"), m_cd.File(deep + "\\Launchpod.exe"));
    CopyFileBytes(m_cd.File("SysConfig.dat"), m_cd.File(deep + "\\SysConfig.dat"));
    ASSERT_EQ(m_cd.File(deep).size(), 243u);

    EXPECT_EQ(RunToExit(CommandLineOf(m_cd.File(deep + "\\Launchpod.exe"))), 0u);

    Lines expected = StartLines();
    Append(expected, ClientMissingLines());
    Append(expected, MassStorageAbsentLines());
    Append(expected, {"INF: Not detected client app, or not detected all device inf...",
                      "INF: Get module path, SUC...",
                      "ERR: Command line too long, Len: 260, Max: 259...", "ERR: DelCD Failed!"});
    Append(expected, EndLines());
    ExpectLog(expected);
}

TEST_F(Launchpod, EndsWithOneWhileAnotherInstanceIsInItsCheck)
{
    KernelHandle holder(CreateSemaphoreA(nullptr, 1, 1, "XTR4417_SEMAPHORE_NAME"));
    ASSERT_TRUE(holder);
    EXPECT_EQ(RunLaunchpod(), 1u);
    EXPECT_EQ(ReadLogMessages(),
              (Lines{"STA: Start Launchpod...", "ERR: ERROR_ALREADY_EXISTS..."}));
    EXPECT_FALSE(SetupRan());
}
