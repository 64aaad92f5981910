#include "Password.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const std::string DEL = "\x7F";

std::string Bytes(std::initializer_list<char> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(ScramblePassword, XorsEveryByteWithTheMaskAndUndoesItself)
{
    std::string scrambled = "left over";
    ScramblePassword(Bytes({'a', 'm', '\x92', '\x6D'}), scrambled);
    EXPECT_EQ(scrambled, Bytes({'\x0C', '\0', '\xFF', '\0'}));

    std::string plain;
    ScramblePassword(scrambled, plain);
    EXPECT_EQ(plain, Bytes({'a', 'm', '\x92', '\x6D'}));

    ScramblePassword("", plain);
    EXPECT_EQ(plain, "");
}

TEST(PasswordValue, KeepsWhatReadsBackUnchangedAndProtectsTheRest)
{
    struct Case
    {
        std::string scrambled;
        std::string stored;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"a b\tc", "a b\tc"},
        {"\"abc", "\"abc"},
        {"\xA0x\xA0", "\xA0x\xA0"},
        {"'abc\"", "'abc\""},
        {DEL + "x" + DEL, DEL + "x" + DEL},
        // the read drops edge white space and one pair of matching quotes
        {" abc", "\" abc\""},
        {"abc\t", "\"abc\t\""},
        {"\x1A"
         "abc\f",
         "\"\x1A"
         "abc\f\""},
        {"\vabc", "\"\vabc\""},
        {"'abc'", "\"'abc'\""},
        {"\"abc\"", "\"\"abc\"\""},
        {" " + DEL, "\" " + DEL + "\""},
        // a NUL or a line break cannot be stored as it is
        {Bytes({'a', '\0', 'b'}), "\"\"" + DEL + "a" + DEL + "00b\"\""},
        {"\nx\r", "\"\"" + DEL + DEL + "0Ax" + DEL + "0D\"\""},
        {Bytes({'\0', ' ', DEL[0]}), "\"\"" + DEL + DEL + "00 " + DEL + "7F\"\""},
        // quoting alone would read back like an escaped value
        {"\"" + DEL + "x\"", "\"\"" + DEL + "\"" + DEL + "7Fx\"\"\""},
    };
    for (const Case& c : cases)
    {
        std::string stored = "left over";
        EXPECT_TRUE(EncodePasswordValue(c.scrambled, stored)) << c.stored;
        EXPECT_EQ(stored, c.stored);
    }
}

TEST(PasswordValue, DecodesWhatTheReadReturnsForEachStoredForm)
{
    struct Case
    {
        std::string read; // the value as the read returns it
        bool ok;
        std::string scrambled;
    };
    const Case cases[] = {
        {"abc", true, "abc"},
        {"'abc'", true, "'abc'"},      // quoted on writing, one pair stripped
        {"\"" + DEL + "\"", true, ""}, // escaped empty text
        {"\"" + DEL + "a" + DEL + "00b\"", true, Bytes({'a', '\0', 'b'})},
        {"\"" + DEL + DEL + "0A" + DEL + "7F\"", true, "\n" + DEL},
        {"\"" + DEL + " x \"", true, " x "},
        {"\"" + DEL + "ab" + DEL + "0\"", false, ""}, // cut inside an escape
        {"\"" + DEL + "ab" + DEL + "\"", false, ""},  // cut right after the escape
        {"\"" + DEL + DEL + "0a\"", false, ""},       // not an escape this writer makes
        {"\"" + DEL + DEL + "G0\"", false, ""},
        {"\"" + DEL + "abc", true, "\"" + DEL + "abc"}, // no closing quote: an old value
        {"x" + DEL + "00", true, "x" + DEL + "00"},     // escapes count only in escaped form
    };
    for (const Case& c : cases)
    {
        std::string scrambled = "left over";
        EXPECT_EQ(DecodePasswordValue(c.read, scrambled), c.ok) << c.read;
        EXPECT_EQ(scrambled, c.scrambled) << c.read;
    }
}

TEST(PasswordValue, RefusesAStoredFormLongerThanAReadReturnsWhole)
{
    struct Case
    {
        std::string scrambled;
        bool fits;
    };
    const Case cases[] = {
        {std::string(259, 'x'), true},
        {std::string(260, 'x'), false},
        {" " + std::string(256, 'x'), true}, // 257 within the quotes
        {" " + std::string(257, 'x'), false},
        {std::string(83, '\0'), true}, // 2 + 1 + 83 * 3 + 2 = 254
        {std::string(85, '\0'), false},
    };
    for (const Case& c : cases)
    {
        std::string stored = "left over";
        EXPECT_EQ(EncodePasswordValue(c.scrambled, stored), c.fits) << c.scrambled.size();
        if (c.fits)
            EXPECT_LE(stored.size(), PASSWORD_VALUE_LIMIT);
        else
            EXPECT_EQ(stored, "");
    }
}
