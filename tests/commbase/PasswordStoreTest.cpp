#include "DSDialProfile.h"
#include "Password.h"
#include "ProfileFiles.h"
#include "ProfileValues.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string StoredPasswordLine(const std::string& file)
{
    const std::string content = ReadFileBytes(file);
    const std::string::size_type start = content.find("Password=");
    if (start == std::string::npos)
        return "";
    return content.substr(start, content.find("\r\n", start) - start);
}

std::string Scrambled(const std::string& password)
{
    std::string scrambled;
    ScramblePassword(password, scrambled);
    return scrambled;
}

} // namespace

class PasswordStore : public ProfileFiles
{
};

TEST_F(PasswordStore, ReadsBackEveryByteInFirstMiddleAndLastPosition)
{
    DSDialProfile writer;
    DSDialProfile reader;
    ASSERT_TRUE(writer.Open(USER_PROFILE_FILE));
    ASSERT_TRUE(reader.Open(USER_PROFILE_FILE));
    for (int byte = 0x01; byte <= 0xFF; ++byte)
    {
        const std::string c(1, static_cast<char>(byte));
        for (const std::string& password : {c + "pw", "p" + c + "w", "pw" + c, c, c + c})
        {
            ASSERT_TRUE(writer.WritePassword("Home", password)) << byte;
            std::string readBack = "left over";
            EXPECT_TRUE(reader.ReadPassword("Home", readBack)) << byte;
            EXPECT_EQ(readBack, password) << "byte " << byte << " in " << password;
        }
    }
}

TEST_F(PasswordStore, WritesPasswordsThatAlwaysReadBackAsBefore)
{
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    for (const std::string& password :
         {std::string("secret"), std::string("two words"), std::string("Pass\xE9"),
          std::string("\xCDpass\xCD"), std::string(259, 'x')})
    {
        ASSERT_TRUE(store.WritePassword("Home", password));
        EXPECT_EQ(StoredPasswordLine(UserFile()), "Password=" + Scrambled(password));
    }
}

TEST_F(PasswordStore, QuotesValuesTheReadWouldCutSoOlderReadersGetThemWhole)
{
    // 'M' scrambles to a space, 'O' to a double quote and 'J' to a single quote.
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    for (const char* password : {"Mpass", "passM", "OpassO", "JpassJ", "MM"})
    {
        ASSERT_TRUE(store.WritePassword("Home", password));
        EXPECT_EQ(StoredPasswordLine(UserFile()), "Password=\"" + Scrambled(password) + "\"");

        // How a reader that only unscrambles sees it.
        std::string value;
        ASSERT_TRUE(store.ReadString("Home", PROFILE_KEY_PASSWORD, value));
        EXPECT_EQ(Scrambled(value), password);
    }
}

TEST_F(PasswordStore, ReadsPasswordsStoredByEarlierVersions)
{
    WriteUserFile("[Home]\r\nPassword=" + Scrambled("old secret") + "\r\n[Empty]\r\nPassword=\r\n");
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    std::string password;
    EXPECT_TRUE(store.ReadPassword("Home", password));
    EXPECT_EQ(password, "old secret");
    EXPECT_FALSE(store.ReadPassword("Empty", password));
    EXPECT_EQ(password, "");
    EXPECT_FALSE(store.ReadPassword("Missing", password));
}

TEST_F(PasswordStore, RefusesAPasswordTooLongToReadBackWhole)
{
    DSDialProfile store;
    ASSERT_TRUE(store.Open(USER_PROFILE_FILE));
    ASSERT_TRUE(store.WritePassword("Home", "kept"));

    struct Case
    {
        std::string password;
        bool stored;
    };
    const Case cases[] = {
        {std::string(259, 'x'), true},
        {std::string(260, 'x'), false},
        {"M" + std::string(256, 'x'), true}, // quoted: 259 characters in the file
        {"M" + std::string(257, 'x'), false},
        {std::string(84, 'm'), true}, // escaped: 3 characters per byte
        {std::string(85, 'm'), false},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(store.WritePassword("Home", "kept"));
        EXPECT_EQ(store.WritePassword("Home", c.password), c.stored) << c.password.size();
        std::string password;
        EXPECT_TRUE(store.ReadPassword("Home", password));
        EXPECT_EQ(password, c.stored ? c.password : "kept") << c.password.size();
    }
}
