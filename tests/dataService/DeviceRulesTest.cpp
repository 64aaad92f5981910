#include "DeviceRules.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

struct MatchCase
{
    const char* what;
    std::string list; // the bytes as a property read reports them
    const char* id;
    std::size_t matches;
};

} // namespace

TEST(HardwareIdMatching, FollowsTheEntryRules)
{
    const std::string modem = std::string("usb\\vid_1e0e&pid_9001&mi_02\0", 28);
    const MatchCase cases[] = {
        {"exact entry", modem + '\0', "usb\\vid_1e0e&pid_9001&mi_02", 1},
        {"upper-case entry is lowered", std::string("USB\\VID_1E0E&PID_9001&MI_02\0\0", 30),
         "usb\\vid_1e0e&pid_9001&mi_02", 1},
        {"upper-case id never matches", modem + '\0', "USB\\vid_1e0e&pid_9001&mi_02", 0},
        {"second entry", std::string("usb\\other\0", 10) + modem + '\0',
         "usb\\vid_1e0e&pid_9001&mi_02", 1},
        {"prefix of an entry", modem + '\0', "usb\\vid_1e0e&pid_9001", 0},
        {"entry is a prefix of the id", modem + '\0', "usb\\vid_1e0e&pid_9001&mi_02x", 0},
        {"empty id", modem + '\0', "", 0},
        {"empty entry ends the list", modem + '\0' + modem + '\0', "usb\\vid_1e0e&pid_9001&mi_02",
         1},
        {"id twice counts twice", modem + modem + '\0', "usb\\vid_1e0e&pid_9001&mi_02", 2},
        {"empty list", std::string(), "usb\\vid_1e0e&pid_9001&mi_02", 0},
    };
    for (const MatchCase& c : cases)
    {
        std::string list = c.list;
        EXPECT_EQ(CountMatchingHardwareIds(list.data(), list.size(), c.id), c.matches) << c.what;
    }
}

TEST(HardwareIdMatching, StaysWithinTheReportedSize)
{
    // Only the first four bytes were reported: "abcd" is an entry without its NUL,
    // and what follows must be neither read nor changed.
    std::string list("abcdEF\0\0", 8);
    EXPECT_EQ(CountMatchingHardwareIds(list.data(), 4, "abcd"), 1u);
    EXPECT_EQ(CountMatchingHardwareIds(list.data(), 4, "abcdef"), 0u);
    EXPECT_EQ(list, std::string("abcdEF\0\0", 8));
}

TEST(HardwareIdMatching, LowerCasesEntriesInPlaceOnlyForAToZ)
{
    std::string list("ABC\xC4Z@[\0\0", 9);
    CountMatchingHardwareIds(list.data(), list.size(), "x");
    EXPECT_EQ(list, std::string("abc\xC4z@[\0\0", 9));
}

TEST(OSTypeRules, ClassifyVersionWordAndRegistryTexts)
{
    EXPECT_TRUE(IsBelowWindows2000(0xC0000A04)); // 4.10, the Windows 98 form
    EXPECT_FALSE(IsBelowWindows2000(0x0A280105));
    EXPECT_FALSE(IsBelowWindows2000(0x1DB10106));

    const struct
    {
        const char* text;
        RegistryVersion expected;
    } versions[] = {
        {"4.0", RegistryVersion::Unclassified},
        {"", RegistryVersion::Unclassified},
        {"abc", RegistryVersion::Unclassified},
        {"nan", RegistryVersion::Unclassified},
        {"5.0", RegistryVersion::Windows2000},
        {" 5", RegistryVersion::Windows2000},
        {"5.00x", RegistryVersion::Windows2000},
        {"5.01", RegistryVersion::WindowsXP},
        {"5.1", RegistryVersion::WindowsXP},
        {"5.2", RegistryVersion::WindowsXP},
        {"5.99", RegistryVersion::WindowsXP},
        {"6.0", RegistryVersion::NeedsBuildLabel},
        {"6.1", RegistryVersion::NeedsBuildLabel},
        {"10.0", RegistryVersion::NeedsBuildLabel},
        {"-6.1", RegistryVersion::Unclassified},
        // Plain decimal rules: no hexadecimal form, exponent or infinity.
        {"0x6", RegistryVersion::Unclassified},
        {"5e1", RegistryVersion::Windows2000},
        {"inf", RegistryVersion::Unclassified},
        {"\t+5.1", RegistryVersion::WindowsXP},
    };
    for (const auto& v : versions)
        EXPECT_EQ(ClassifyRegistryVersion(v.text), v.expected) << '"' << v.text << '"';

    const struct
    {
        const char* label;
        int expected;
    } labels[] = {
        {"7601.17514.x86fre.win7sp1_rtm.101119-1850", OS_VISTA_X86},
        {"7601.17514.amd64fre.win7sp1_rtm.101119-1850", OS_VISTA_AMD64},
        {"6002.18005.AMD64FRE.LONGHORN_RTM.090410-1830", OS_VISTA_AMD64},
        {"6002.X86FRE", OS_VISTA_X86},
        {"both.amd64.x86", OS_VISTA_X86},
        {"7601.17514.ia64fre.win7sp1_rtm", -1},
        {"x86amd64", -1},
        {"", -1},
    };
    for (const auto& l : labels)
        EXPECT_EQ(ClassifyBuildLabel(l.label), l.expected) << l.label;
}

TEST(SetupCommandLine, QuotesTheProgramPathAndKeepsWithinItsLimits)
{
    std::string argument;
    ASSERT_TRUE(BuildSetupArgument("/disable ", "usb\\vid_1e0e&pid_9001&mi_02", argument));
    EXPECT_EQ(argument, "/disable usb\\vid_1e0e&pid_9001&mi_02");

    std::string commandLine;
    ASSERT_TRUE(
        BuildSetupCommandLine("C:\\Program Files\\Torvik Client", "/enable usb\\x", commandLine));
    EXPECT_EQ(commandLine, "\"C:\\Program Files\\Torvik Client\\setup.exe\" /enable usb\\x");

    // The argument holds 127 characters, the command line 259.
    EXPECT_TRUE(BuildSetupArgument("/enable ", std::string(119, 'a').c_str(), argument));
    EXPECT_EQ(argument.size(), 127u);
    argument = "kept";
    EXPECT_FALSE(BuildSetupArgument("/enable ", std::string(120, 'a').c_str(), argument));
    EXPECT_EQ(argument, "kept");

    const std::string folder(259 - 13 - 6, 'f'); // quotes, "\setup.exe", a blank, "/x abc"
    EXPECT_TRUE(BuildSetupCommandLine(folder, "/x abc", commandLine));
    EXPECT_EQ(commandLine.size(), 259u);
    commandLine = "kept";
    EXPECT_FALSE(BuildSetupCommandLine(folder, "/x abcd", commandLine));
    EXPECT_EQ(commandLine, "kept");
}
