#include "ProfileValues.h"

bool operator==(const Ipv4Address& left, const Ipv4Address& right)
{
    return left.a == right.a && left.b == right.b && left.c == right.c && left.d == right.d;
}

std::int32_t StoredAddress(const Ipv4Address& address)
{
    const std::uint32_t bits = (std::uint32_t(address.a) << 24) | (std::uint32_t(address.b) << 16) |
                               (std::uint32_t(address.c) << 8) | std::uint32_t(address.d);
    return static_cast<std::int32_t>(bits);
}

Ipv4Address AddressFromStored(std::int32_t stored)
{
    const auto bits = static_cast<std::uint32_t>(stored);
    Ipv4Address address;
    address.a = static_cast<std::uint8_t>(bits >> 24);
    address.b = static_cast<std::uint8_t>(bits >> 16);
    address.c = static_cast<std::uint8_t>(bits >> 8);
    address.d = static_cast<std::uint8_t>(bits);
    return address;
}

std::int32_t ServerFlagWord(bool hasPrimary, bool hasSecond)
{
    return (hasPrimary ? 65536 : 0) + (hasSecond ? 1 : 0);
}

bool TakesPrimaryServer(std::int32_t flagWord)
{
    return flagWord != 0 && (static_cast<std::uint32_t>(flagWord) >> 16) == 1;
}

bool TakesSecondServer(std::int32_t flagWord)
{
    return flagWord != 0 &&
           static_cast<std::int16_t>(static_cast<std::uint32_t>(flagWord) & 0xFFFF) == 1;
}
