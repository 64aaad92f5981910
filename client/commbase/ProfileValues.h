#pragma once
// Names and stored forms of the values in the two settings files. Windows-free.

#include <cstdint>

// Keys of a profile section, in the order in which a new section is laid out.
constexpr const char PROFILE_KEY_APN[] = "Apn";
constexpr const char PROFILE_KEY_IP[] = "IP";
constexpr const char PROFILE_KEY_IP_DYNAMIC[] = "IP Dynamic";
constexpr const char PROFILE_KEY_NUMBER[] = "Number";
constexpr const char PROFILE_KEY_USER[] = "User";
constexpr const char PROFILE_KEY_PASSWORD[] = "Password";
constexpr const char PROFILE_KEY_AUTHENTICATION[] = "Authentication protocol";
constexpr const char PROFILE_KEY_DNS_PRIMARY[] = "Dns Primary";
constexpr const char PROFILE_KEY_DNS_SECOND[] = "Dns Second";
constexpr const char PROFILE_KEY_DNS_DYNAMIC[] = "Dns Dynamic";
constexpr const char PROFILE_KEY_WINS_PRIMARY[] = "Wins Primary";
constexpr const char PROFILE_KEY_WINS_SECOND[] = "Wins Second";
constexpr const char PROFILE_KEY_WINS_DYNAMIC[] = "Wins Dynamic";

// The two settings files in the program's folder.
constexpr const char USER_PROFILE_FILE[] = "DataCardInfo.ini";
constexpr const char SYSTEM_PROFILE_FILE[] = "SysConfig.dat";

// An IPv4 address by its octets, "a.b.c.d".
struct Ipv4Address
{
    std::uint8_t a = 0;
    std::uint8_t b = 0;
    std::uint8_t c = 0;
    std::uint8_t d = 0;
};

bool operator==(const Ipv4Address& left, const Ipv4Address& right);

// Addresses are stored as signed 32-bit decimals with the first octet in the most
// significant byte, so addresses from 128.0.0.0 up are negative.
std::int32_t StoredAddress(const Ipv4Address& address);
Ipv4Address AddressFromStored(std::int32_t stored);

// "Dns Dynamic" and "Wins Dynamic": 65536 when a preferred server is given plus 1
// when an alternate one is given; 0 when the network assigns the servers.
std::int32_t ServerFlagWord(bool hasPrimary, bool hasSecond);
// The preferred server is taken when the word is not 0 and its upper 16 bits are 1.
bool TakesPrimaryServer(std::int32_t flagWord);
// The alternate server is taken when the word is not 0 and its lower 16 bits, read
// as a signed 16-bit number, are 1.
bool TakesSecondServer(std::int32_t flagWord);
