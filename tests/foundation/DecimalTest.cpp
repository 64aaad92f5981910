#include "Decimal.h"

#include <gtest/gtest.h>

struct DecimalCase
{
    const char* text;
    std::int32_t value32;
    std::int64_t value64;
};

TEST(Decimal, ParsesSignDigitsAndWrapsAround)
{
    const DecimalCase cases[] = {
        {"12abc", 12, 12},
        {"  -7", -7, -7},
        {"\t+15", 15, 15},
        {"letters", 0, 0},
        {"", 0, 0},
        {"-", 0, 0},
        {"4294967295", -1, 4294967295LL},
        {"-1062731775", -1062731775, -1062731775LL},
        {"3232235521", -1062731775, 3232235521LL},
        {"4294967296", 0, 4294967296LL},
        {"-9223372036854775808", 0, INT64_MIN},
        {"18446744073709551615", -1, -1},
        {"1 2", 1, 1},
    };
    for (const DecimalCase& c : cases)
    {
        EXPECT_EQ(ParseDecimal32(c.text), c.value32) << '"' << c.text << '"';
        EXPECT_EQ(ParseDecimal64(c.text), c.value64) << '"' << c.text << '"';
    }
}
