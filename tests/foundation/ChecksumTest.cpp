#include "Crc32.h"

#include <gtest/gtest.h>

#include <string>

TEST(Crc32, MatchesTheCommonCheckValues)
{
    const Crc32 crc;
    const std::string digits = "123456789";
    EXPECT_EQ(crc.Compute(digits.data(), digits.size()), 0xCBF43926u);
    EXPECT_EQ(crc.Compute("", 0), 0u);
    const std::string withNul("a\0b", 3);
    EXPECT_EQ(crc.Compute(withNul.data(), withNul.size()), 0x15E87871u);
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    EXPECT_EQ(crc.Compute(fox.data(), fox.size()), 0x414FA339u);
}
