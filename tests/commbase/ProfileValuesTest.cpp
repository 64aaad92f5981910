#include "ProfileValues.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(StoredAddress, PutsTheFirstOctetInTheMostSignificantByte)
{
    struct Case
    {
        Ipv4Address address;
        std::int32_t stored;
    };
    const Case cases[] = {
        {{192, 168, 0, 1}, -1062731775},   {{10, 0, 0, 1}, 167772161},  {{0, 0, 0, 0}, 0},
        {{127, 255, 255, 255}, INT32_MAX}, {{128, 0, 0, 0}, INT32_MIN}, {{255, 255, 255, 255}, -1},
        {{1, 2, 3, 4}, 0x01020304},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(StoredAddress(c.address), c.stored);
        EXPECT_EQ(AddressFromStored(c.stored), c.address) << c.stored;
    }
}

TEST(ServerFlagWord, HoldsThePreferredServerHighAndTheAlternateLow)
{
    EXPECT_EQ(ServerFlagWord(false, false), 0);
    EXPECT_EQ(ServerFlagWord(false, true), 1);
    EXPECT_EQ(ServerFlagWord(true, false), 65536);
    EXPECT_EQ(ServerFlagWord(true, true), 65537);

    struct Case
    {
        std::int32_t word;
        bool primary;
        bool second;
    };
    const Case cases[] = {
        {0, false, false},      {1, false, true},
        {65536, true, false},   {65537, true, true},
        {2, false, false},      {0x20001, false, true},
        {0x1FFFF, true, false}, // lower half reads as -1
        {-1, false, false},     {static_cast<std::int32_t>(0xFFFF0001u), false, true},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(TakesPrimaryServer(c.word), c.primary) << c.word;
        EXPECT_EQ(TakesSecondServer(c.word), c.second) << c.word;
    }
}
