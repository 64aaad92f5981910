#include "CommandLine.h"
#include "DeviceIdRule.h"
#include "LaunchpodRules.h"
#include "LogFormat.h"
#include "ModeSwitchRequest.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>
#include <vector>

using namespace installer;

namespace
{
std::string Format(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::string message = FormatLogMessage(format, args);
    va_end(args);
    return message;
}
} // namespace

TEST(DeviceIdRule, SplitsAMultiStringAtTheFirstEmptyStringOrTheReportedSize)
{
    const char twoIds[] = "USB\\VID_7C3E&PID_1010&REV_0100\0USB\\VID_7C3E&PID_1010\0\0junk\0";
    EXPECT_EQ(
        SplitMultiString(twoIds, sizeof twoIds),
        (std::vector<std::string>{"USB\\VID_7C3E&PID_1010&REV_0100", "USB\\VID_7C3E&PID_1010"}));
    // The size reported by the system ends the walk even without a terminator.
    EXPECT_EQ(SplitMultiString("abc\0def", 6), (std::vector<std::string>{"abc", "de"}));
    EXPECT_TRUE(SplitMultiString("\0abc\0", 6).empty());
    EXPECT_TRUE(SplitMultiString("", 0).empty());
}

TEST(DeviceIdRule, MatchesExactlyAfterLowerCasingTheDevicesId)
{
    const std::string configured = "usb\\vid_7c3e&pid_1010";
    struct Case
    {
        const char* deviceId;
        bool matches;
    };
    const Case cases[] = {
        {"usb\\vid_7c3e&pid_1010", true},           {"USB\\VID_7C3E&PID_1010", true},
        {"USB\\VID_7C3E&PID_1010&REV_0100", false}, // a revision part is another id
        {"usb\\vid_7c3e&pid_101", false},           {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdMatches(c.deviceId, configured), c.matches) << c.deviceId;
    // Only ASCII letters are lowered: a code-page letter stays as it is.
    EXPECT_EQ(ToLowerAscii("AZaz@[\xC4"), "azaz@[\xC4");
}

TEST(LogFormat, WritesTimeSeparatorMessageAndLineEnd)
{
    EXPECT_EQ(FormatLogRecord(9, 5, 7, "STA: Start Devsweep..."),
              "09:05:07: STA: Start Devsweep...\n");
    // A message ending in "\n" leaves an empty line after the record.
    EXPECT_EQ(FormatLogRecord(23, 59, 0, Format("END: Exit %s...\n\n", "Launchpod")),
              "23:59:00: END: Exit Launchpod...\n\n\n");
}

TEST(LogFormat, CutsAMessageLongerThan255CharactersAfterFormatting)
{
    const std::string path(300, 'p');
    const std::string message = Format("INF: Delete file, SUC, Name: %s...", path.c_str());
    ASSERT_EQ(message.size(), kLogMessageMax);
    EXPECT_EQ(message, ("INF: Delete file, SUC, Name: " + path).substr(0, kLogMessageMax));
    EXPECT_EQ(Format("%s", std::string(255, 'x').c_str()).size(), 255u);
    EXPECT_EQ(Format("%s", std::string(254, 'x').c_str()).size(), 254u);
}

TEST(CommandLine, BuildsBothVariantsAndRefusesWhatExceeds259Characters)
{
    std::string commandLine = "unchanged";
    EXPECT_TRUE(BuildDriverToolCommand("Modeflip32.exe", "E:", commandLine));
    EXPECT_EQ(commandLine, "Modeflip32.exe E:");
    EXPECT_TRUE(BuildClientSetupCommand("F:", "setup.exe", commandLine));
    EXPECT_EQ(commandLine, "F:\\Client\\setup.exe");

    const std::string program = "Modeflip64.exe"; // 14 characters and a space
    EXPECT_TRUE(BuildDriverToolCommand(program, std::string(259 - 15, 'a'), commandLine));
    EXPECT_EQ(commandLine.size(), 259u);
    commandLine = "unchanged";
    EXPECT_FALSE(BuildDriverToolCommand(program, std::string(260 - 15, 'a'), commandLine));
    EXPECT_EQ(commandLine, "unchanged");

    const std::string suffix = "\\Client\\setup.exe"; // 17 characters
    EXPECT_TRUE(BuildClientSetupCommand(std::string(259 - 17, 'd'), "setup.exe", commandLine));
    EXPECT_FALSE(BuildClientSetupCommand(std::string(260 - 17, 'd'), "setup.exe", commandLine));
}

TEST(LaunchpodRules, FindsTheHardwareIdOnlyInTheFirst2048BytesOfAnInf)
{
    const std::string id = "usb\\vid_7c3e&pid_1010";
    const std::string line = "%Modem% = Modem, USB\\VID_7C3E&PID_1010&MI_00\r\n";
    EXPECT_TRUE(InfHeadMentionsId("[Version]\r\n" + line, id));
    EXPECT_TRUE(InfHeadMentionsId(std::string(2048 - id.size(), ';') + id, id));
    EXPECT_FALSE(InfHeadMentionsId(std::string(2048 - id.size() + 1, ';') + id, id));
    // Stored as UTF-16, the id's letters are apart: no match.
    std::string utf16;
    for (char c : std::string("USB\\VID_7C3E&PID_1010"))
        utf16 += std::string{c, '\0'};
    EXPECT_FALSE(InfHeadMentionsId(utf16, id));
}

TEST(LaunchpodRules, PicksTheDevsweepBuildFromBuildLabEx)
{
    struct Case
    {
        const char* buildLab;
        OsType type;
        const char* program;
    };
    const Case cases[] = {
        {"7601.17514.x86fre.win7sp1_rtm.101119-1850", OS_TYPE_VISTA_X86, "Devsweep32.exe"},
        {"7601.17514.AMD64FRE.win7sp1_rtm.101119-1850", OS_TYPE_VISTA_AMD64, "Devsweep64.exe"},
        {"6002.18005.x86fre.amd64", OS_TYPE_VISTA_X86, "Devsweep32.exe"}, // ".x86" wins
        {"7601.17514.armfre", OS_TYPE_UNKNOWN, "Devsweep32.exe"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(OsTypeFromBuildLab(c.buildLab), c.type) << c.buildLab;
        EXPECT_STREQ(DevsweepProgramFor(OsTypeFromBuildLab(c.buildLab)), c.program);
    }
}

TEST(ModeSwitchRequest, DevicePathIsCutTo24Characters)
{
    EXPECT_EQ(BuildDevicePath("E:"), "\\\\.\\E:");
    EXPECT_EQ(BuildDevicePath(std::string(20, 'n')), "\\\\.\\" + std::string(20, 'n'));
    EXPECT_EQ(BuildDevicePath(std::string(21, 'n')), "\\\\.\\" + std::string(20, 'n'));
    EXPECT_EQ(BuildDevicePath(""), "\\\\.\\");
}

// The request as it goes to the device, written out byte for byte for this build's
// pointer size; everything not named here is zero.
TEST(ModeSwitchRequest, HoldsTheRezeroUnitCommandAndNothingElse)
{
    const bool x64 = sizeof(void*) == 8;
    ModeSwitchRequest request;
    std::memset(&request, 0xAA, sizeof request); // what a fresh stack might hold
    BuildModeSwitchRequest(request);
    std::vector<unsigned char> expected(x64 ? 608 : 592, 0);
    const std::size_t dataOffsetField = x64 ? 24 : 20;
    const std::size_t senseOffsetField = x64 ? 32 : 24;
    const std::size_t cdb = x64 ? 36 : 28;
    expected[0] = x64 ? 56 : 44; // Length
    expected[4] = 1;             // TargetId
    expected[6] = 6;             // CdbLength
    expected[7] = 32;            // SenseInfoLength
    expected[8] = 1;             // DataIn: from the device
    expected[12] = 6;            // DataTransferLength
    expected[16] = 2;            // TimeOutValue in seconds
    expected[dataOffsetField] = x64 ? 92 : 80;
    expected[senseOffsetField] = x64 ? 60 : 48;
    expected[cdb] = 0x01; // REZERO UNIT

    ASSERT_EQ(sizeof request, expected.size());
    std::vector<unsigned char> actual(sizeof request);
    std::memcpy(actual.data(), &request, sizeof request);
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(ModeSwitchInputLength(), x64 ? 56u : 44u);
    EXPECT_EQ(ModeSwitchOutputLength(), x64 ? 98u : 86u);
}
