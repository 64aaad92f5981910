#include "ProfileChoice.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(ChooseCurrentProfile, PrefersValidDefaultsThenFirstProfiles)
{
    using List = std::vector<std::string>;
    struct Case
    {
        const char* what;
        List user;
        std::string userDefault;
        List system;
        std::string systemDefault;
        std::string name;
        bool isSystem;
    };
    const Case cases[] = {
        {"system default wins", {"U1", "U2"}, "U2", {"S1", "S2"}, "S2", "S2", true},
        {"user default", {"U1", "U2"}, "U2", {"S1"}, "", "U2", false},
        {"user default over a dangling system one",
         {"U1", "U2"},
         "U2",
         {"S1"},
         "gone",
         "U2",
         false},
        {"first system", {"U1"}, "", {"S1", "S2"}, "", "S1", true},
        {"first user", {"U1", "U2"}, "", {}, "", "U1", false},
        {"defaults name profiles of the other file", {"U1"}, "S1", {"S1"}, "U1", "S1", true},
        {"default differs in case", {"Home"}, "home", {}, "", "Home", false},
        {"system default differs in case", {"U1"}, "", {"Net"}, "NET", "Net", true},
        {"no profiles", {}, "", {}, "", "", false},
    };
    for (const Case& c : cases)
    {
        const ProfileChoice choice =
            ChooseCurrentProfile(c.user, c.userDefault, c.system, c.systemDefault);
        EXPECT_EQ(choice.name, c.name) << c.what;
        EXPECT_EQ(choice.isSystemProfile, c.isSystem) << c.what;
    }
}

TEST(ContainsProfile, ComparesByteForByteWithCase)
{
    const std::vector<std::string> profiles = {"Home", "Work \xB0\xA1"};
    EXPECT_TRUE(ContainsProfile(profiles, "Home"));
    EXPECT_TRUE(ContainsProfile(profiles, "Work \xB0\xA1"));
    EXPECT_FALSE(ContainsProfile(profiles, "home"));
    EXPECT_FALSE(ContainsProfile(profiles, "Work \xB0"));
    EXPECT_FALSE(ContainsProfile(profiles, ""));
    EXPECT_FALSE(ContainsProfile({}, "Home"));
}
