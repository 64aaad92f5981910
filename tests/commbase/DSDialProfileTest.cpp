#include "DSDialProfile.h"
#include "ModuleDir.h"
#include "ProfileFiles.h"
#include "ProfileValues.h"
#include "TestFiles.h"
#include "TraceCapture.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Names = std::vector<std::string>;

class DialProfileStore : public ProfileFiles
{
};

TEST_F(DialProfileStore, FailsEveryReadAndWriteUntilOpened)
{
    WriteUserFile("[Profiles]\r\nDefault=Home\r\n[Home]\r\nIP Dynamic=0\r\n");
    DSDialProfile store;
    EXPECT_FALSE(store.Open(nullptr));

    std::string value = "kept";
    EXPECT_FALSE(store.ReadString("Profiles", "Default", value));
    EXPECT_EQ(value, "kept");
    EXPECT_FALSE(store.GetDefaultProfile(value));
    EXPECT_EQ(store.ReadInt("Home", "IP Dynamic", 7), 7);
    EXPECT_EQ(store.ReadInt64("Home", "IP Dynamic", 7), 7);
    EXPECT_EQ(store.LoadProfileList(), 0);
    EXPECT_FALSE(store.LoadModemNames());
    EXPECT_FALSE(store.WriteString("Profiles", "Default", "x"));
    EXPECT_FALSE(store.WriteInt("Profiles", "Default", 1));
    EXPECT_FALSE(store.WriteInt64("Profiles", "Default", 1));
    EXPECT_FALSE(store.SetDefaultProfile("x"));
    EXPECT_FALSE(store.DeleteProfile("Home"));
    EXPECT_FALSE(store.WritePassword("Home", "secret"));
    EXPECT_EQ(ReadFileBytes(UserFile()),
              "[Profiles]\r\nDefault=Home\r\n[Home]\r\nIP Dynamic=0\r\n");
}

TEST_F(DialProfileStore, OpensTheNamedFileInTheProgramFolder)
{
    WriteSystemFile("[Profiles]\r\nDefault=Net\r\n");
    SetFileAttributesA(SystemFile().c_str(), FILE_ATTRIBUTE_READONLY);

    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    EXPECT_EQ(store.GetPath(), GetModuleDir() + USER_PROFILE_FILE);

    ASSERT_TRUE(store.Open(SYSTEM_PROFILE_FILE));
    EXPECT_EQ(store.GetPath(), GetModuleDir() + SYSTEM_PROFILE_FILE);
    EXPECT_EQ(GetFileAttributesA(SystemFile().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    std::string name;
    EXPECT_TRUE(store.GetDefaultProfile(name));
    EXPECT_EQ(name, "Net");

    EXPECT_FALSE(store.Open(nullptr));
    EXPECT_EQ(store.GetPath(), GetModuleDir() + SYSTEM_PROFILE_FILE);
}

TEST_F(DialProfileStore, ReadsStringsAsThePrivateProfileFunctionsReturnThem)
{
    WriteUserFile("[Home]\r\nApn=  internet.example  \r\nNumber=\r\nUser=\"quoted\"\r\n"
                  "Long=" +
                  std::string(300, 'L') + "\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));

    struct Case
    {
        std::string section;
        std::string key;
        bool ok;
        std::string value;
    };
    const Case cases[] = {
        {"Home", "Apn", true, "internet.example"},
        {"HOME", "apn", true, "internet.example"},
        {"Home", "User", true, "quoted"},
        {"Home", "Long", true, std::string(259, 'L')},
        {"Home", "Number", false, ""},
        {"Home", "Password", false, ""},
        {"Away", "Apn", false, ""},
        {"", "Apn", false, "left over"},
        {"Home", "", false, "left over"},
    };
    for (const Case& c : cases)
    {
        std::string value = "left over";
        EXPECT_EQ(store.ReadString(c.section, c.key, value), c.ok) << c.section << "/" << c.key;
        EXPECT_EQ(value, c.value) << c.section << "/" << c.key;
    }
}

TEST_F(DialProfileStore, ReadsIntegersInTheSettingsWayAndFallsBackWhenEmpty)
{
    WriteUserFile("[Home]\r\nA=12abc\r\nB=  -7\r\nC=letters\r\nD=\r\nE=4294967295\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    EXPECT_EQ(store.ReadInt("Home", "A", 99), 12);
    EXPECT_EQ(store.ReadInt("Home", "B", 99), -7);
    EXPECT_EQ(store.ReadInt("Home", "C", 99), 0);
    EXPECT_EQ(store.ReadInt("Home", "D", 99), 99);
    EXPECT_EQ(store.ReadInt("Home", "E", 99), -1);
    EXPECT_EQ(store.ReadInt("Home", "Missing", 99), 99);
}

TEST_F(DialProfileStore, WritesValuesThatAFreshStoreReadsBack)
{
    DSDialProfile writer;
    ASSERT_TRUE(writer.Open(USER_PROFILE_FILE));
    EXPECT_TRUE(writer.WriteString("Home", PROFILE_KEY_APN, "internet"));
    EXPECT_TRUE(writer.WriteInt("Home", PROFILE_KEY_IP, StoredAddress({192, 168, 0, 1})));
    EXPECT_TRUE(writer.WriteInt("Home", PROFILE_KEY_IP_DYNAMIC, 1));
    EXPECT_TRUE(writer.WriteString("Home", PROFILE_KEY_NUMBER, ""));
    EXPECT_TRUE(writer.WriteInt("Home", PROFILE_KEY_DNS_DYNAMIC, ServerFlagWord(true, false)));
    EXPECT_FALSE(writer.WriteString("", PROFILE_KEY_APN, "x"));
    EXPECT_FALSE(writer.WriteString("Home", "", "x"));

    EXPECT_EQ(ReadFileBytes(UserFile()), "[Home]\r\nApn=internet\r\nIP=-1062731775\r\n"
                                         "IP Dynamic=1\r\nNumber=\r\nDns Dynamic=65536\r\n");
    DSDialProfile reader;
    ASSERT_TRUE(reader.Open(USER_PROFILE_FILE));
    EXPECT_EQ(AddressFromStored(reader.ReadInt("Home", PROFILE_KEY_IP, 0)),
              (Ipv4Address{192, 168, 0, 1}));
    EXPECT_TRUE(TakesPrimaryServer(reader.ReadInt("Home", PROFILE_KEY_DNS_DYNAMIC, 0)));
    EXPECT_FALSE(TakesSecondServer(reader.ReadInt("Home", PROFILE_KEY_DNS_DYNAMIC, 0)));
}

TEST_F(DialProfileStore, CountsOnlySectionsWithANonEmptyIpDynamicAsProfiles)
{
    WriteUserFile("[Profiles]\r\nDefault=Home\r\n"
                  "[Home]\r\nIP Dynamic=0\r\n"
                  "[Blank]\r\nIP Dynamic=\r\nApn=x\r\n"
                  "[NoKey]\r\nApn=y\r\n"
                  "[DataService]\r\nTxBytes=5\r\n"
                  "[Fixed]\r\nApn=z\r\nIP=167772161\r\nIP Dynamic=1\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    std::string first = "none";
    EXPECT_FALSE(store.GetFirstProfile(first));
    EXPECT_FALSE(store.IsProfileExist("Home"));

    EXPECT_EQ(store.LoadProfileList(), 2);
    EXPECT_EQ(store.GetProfileList(), (Names{"Home", "Fixed"}));
    EXPECT_TRUE(store.GetFirstProfile(first));
    EXPECT_EQ(first, "Home");
    EXPECT_TRUE(store.IsProfileExist("Fixed"));
    EXPECT_FALSE(store.IsProfileExist("fixed"));
    EXPECT_FALSE(store.IsProfileExist("Blank"));
    EXPECT_FALSE(store.IsProfileExist(""));
}

TEST_F(DialProfileStore, ReloadsItsProfileListOnlyWhenAsked)
{
    WriteUserFile("[Home]\r\nIP Dynamic=0\r\nApn=a\r\n[Work]\r\nIP Dynamic=0\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    ASSERT_EQ(store.LoadProfileList(), 2);

    EXPECT_TRUE(store.DeleteProfile("Home"));
    EXPECT_FALSE(store.DeleteProfile(""));
    EXPECT_EQ(ReadFileBytes(UserFile()), "[Work]\r\nIP Dynamic=0\r\n");
    EXPECT_TRUE(store.IsProfileExist("Home"));
    EXPECT_EQ(store.LoadProfileList(), 1);
    EXPECT_FALSE(store.IsProfileExist("Home"));

    // A file without sections leaves the list alone; one without profiles empties it.
    RemoveFile(UserFile());
    EXPECT_EQ(store.LoadProfileList(), 0);
    EXPECT_EQ(store.GetProfileList(), (Names{"Work"}));
    WriteUserFile("[Profiles]\r\nDefault=\r\n");
    EXPECT_EQ(store.LoadProfileList(), 0);
    EXPECT_EQ(store.GetProfileList(), Names{});
}

TEST_F(DialProfileStore, SelectsTheCurrentProfileAcrossBothFiles)
{
    struct Case
    {
        const char* what;
        std::string user;
        std::string system;
        int count;
        std::string name;
        bool isSystem;
    };
    const std::string userProfiles = "[U1]\r\nIP Dynamic=0\r\n[U2]\r\nIP Dynamic=0\r\n";
    const std::string systemProfiles = "[S1]\r\nIP Dynamic=0\r\n[S2]\r\nIP Dynamic=1\r\n";
    const Case cases[] = {
        {"both defaults valid", "[Profiles]\r\nDefault=U2\r\n" + userProfiles,
         "[Profiles]\r\nDefault=S2\r\n" + systemProfiles, 4, "S2", true},
        {"user default", "[Profiles]\r\nDefault=U2\r\n" + userProfiles,
         "[Profiles]\r\nDefault=\r\n" + systemProfiles, 4, "U2", false},
        {"first system", userProfiles, systemProfiles, 4, "S1", true},
        {"first user", userProfiles, "", 2, "U1", false},
        {"default differs in case", "[Profiles]\r\nDefault=u2\r\n" + userProfiles, "", 2, "U1",
         false},
        {"default of a deleted profile", "[Profiles]\r\nDefault=Gone\r\n" + userProfiles,
         systemProfiles, 4, "S1", true},
        {"no profiles", "[Profiles]\r\nDefault=U1\r\n", "", 0, "", false},
    };
    for (const Case& c : cases)
    {
        SetUp();
        WriteUserFile(c.user);
        if (!c.system.empty())
            WriteSystemFile(c.system);

        DSDialProfile userStore;
        DSDialProfile systemStore;
        int count = -1;
        std::string name = "left over";
        bool isSystem = !c.isSystem;
        ASSERT_TRUE(SelectCurrentProfile(userStore, systemStore, count, name, isSystem)) << c.what;
        EXPECT_EQ(count, c.count) << c.what;
        EXPECT_EQ(name, c.name) << c.what;
        EXPECT_EQ(isSystem, c.isSystem) << c.what;
    }
}

TEST_F(DialProfileStore, SelectionWritesAnEmptyDefaultWhereNoneIsStored)
{
    WriteUserFile("[U1]\r\nIP Dynamic=0\r\n");
    WriteSystemFile("[S1]\r\nIP Dynamic=0\r\n");
    DSDialProfile userStore;
    DSDialProfile systemStore;
    int count = 0;
    std::string name;
    bool isSystem = false;
    ASSERT_TRUE(SelectCurrentProfile(userStore, systemStore, count, name, isSystem));
    EXPECT_EQ(name, "S1");
    EXPECT_EQ(ReadFileBytes(UserFile()), "[U1]\r\nIP Dynamic=0\r\n[Profiles]\r\nDefault=\r\n");
    EXPECT_EQ(ReadFileBytes(SystemFile()), "[S1]\r\nIP Dynamic=0\r\n[Profiles]\r\nDefault=\r\n");

    // Without any profile nothing is written.
    SetUp();
    ASSERT_TRUE(SelectCurrentProfile(userStore, systemStore, count, name, isSystem));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(FileExists(UserFile()));
    EXPECT_FALSE(FileExists(SystemFile()));
}

TEST_F(DialProfileStore, ListsModemNamesUpToTheFirstGap)
{
    struct Case
    {
        std::string file;
        Names names;
    };
    const Case cases[] = {
        {"[ModemName]\r\nModemName_1=Torvik A\r\nModemName_2=Torvik B\r\nModemName_4=D\r\n",
         {"Torvik A", "Torvik B"}},
        {"[ModemName]\r\nModemName_2=Torvik B\r\n", {}},
        {"[ModemName]\r\nModemName_1=A\r\nModemName_2=\r\nModemName_3=C\r\n", {"A"}},
        {"[Other]\r\nModemName_1=A\r\n", {}},
    };
    for (const Case& c : cases)
    {
        WriteSystemFile(c.file);
        DSDialProfile store;
        ASSERT_TRUE(store.Open(SYSTEM_PROFILE_FILE));
        EXPECT_TRUE(store.LoadModemNames());
        EXPECT_EQ(store.GetModemNames(), c.names) << c.file;
    }

    WriteSystemFile("[ModemName]\r\nModemName_1=A\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(SYSTEM_PROFILE_FILE));
    store.LoadModemNames();
    store.LoadModemNames();
    EXPECT_EQ(store.GetModemNames(), (Names{"A", "A"}));
}

TEST_F(DialProfileStore, KeepsSixtyFourBitStatistics)
{
    DSDialProfile writer;
    ASSERT_TRUE(writer.Open(USER_PROFILE_FILE));
    const std::int64_t values[] = {0, -5, 5000000000LL, INT64_MIN, INT64_MAX};
    for (const std::int64_t value : values)
    {
        ASSERT_TRUE(writer.WriteInt64("DataService", "TxBytes", value));
        DSDialProfile reader;
        ASSERT_TRUE(reader.Open(USER_PROFILE_FILE));
        EXPECT_EQ(reader.ReadInt64("DataService", "TxBytes", 1), value);
    }
    EXPECT_EQ(writer.ReadInt64("DataService", "RxBytes", 42), 42);
    writer.WriteInt64("DataService", "RxBytes", 5000000000LL);
    EXPECT_NE(ReadFileBytes(UserFile()).find("RxBytes=5000000000\r\n"), std::string::npos);
}

TEST_F(DialProfileStore, LocksSystemSettingsOnlyForExactlyN)
{
    struct Case
    {
        std::string file;
        int modifiable;
    };
    const Case cases[] = {
        {"[UI Customization]\r\nSystem Setting Modification=N\r\n", 0},
        {"[ui customization]\r\nsystem setting modification=N\r\n", 0},
        {"[UI Customization]\r\nSystem Setting Modification=n\r\n", 1},
        {"[UI Customization]\r\nSystem Setting Modification=No\r\n", 1},
        {"[UI Customization]\r\nSystem Setting Modification=\r\n", 1},
        {"[UI Customization]\r\nOther=N\r\n", 1},
        {"", 1},
    };
    for (const Case& c : cases)
    {
        WriteSystemFile(c.file);
        DSDialProfile store;
        ASSERT_TRUE(store.Open(SYSTEM_PROFILE_FILE));
        int modifiable = -1;
        store.GetSettingModifiable(modifiable);
        EXPECT_EQ(modifiable, c.modifiable) << c.file;
    }
}

TEST_F(DialProfileStore, TracesOnlyAFailedNetConnectionStyleRead)
{
    TraceCapture viewer;
    WriteSystemFile("[UI Style]\r\nNet Connection Style=Compact\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(SYSTEM_PROFILE_FILE));
    std::string style = "Normal";
    EXPECT_TRUE(store.GetNetConnectionStyle(style));
    EXPECT_EQ(style, "Compact");
    EXPECT_TRUE(viewer.Records().empty());

    WriteSystemFile("[UI Style]\r\nNet Connection Style=\r\n");
    EXPECT_FALSE(store.GetNetConnectionStyle(style));
    EXPECT_EQ(style, "Compact");
    const auto records = viewer.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 3u);
    EXPECT_EQ(records[0].fields.module, TRACE_MODULE);
    EXPECT_EQ(records[0].fields.message, "GetNetConnectionStyle() failed");
    EXPECT_EQ(records[0].fields.source, "commbase\\DSDialProfile.cpp");
    EXPECT_GT(records[0].fields.line, 0);
    EXPECT_EQ(records[0].fields.number1, 0);
    EXPECT_EQ(records[0].fields.number2, 0);
    EXPECT_EQ(records[0].fields.number3, 0);
}
