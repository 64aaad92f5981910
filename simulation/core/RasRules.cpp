#include "RasRules.h"

#include <cstdio>

namespace simnet
{

namespace
{

struct ErrorEntry
{
    std::uint32_t code;
    const char* text;
};

// The common dial errors, worded as the system's users know them.
const ErrorEntry ERROR_TEXTS[] = {
    {600, "An operation is pending."},
    {602, "The port is already open."},
    {603, "The caller's buffer is too small."},
    {608, "The device does not exist."},
    {617, "The port or device is already disconnecting."},
    {619, "A connection to the remote computer could not be established, so the port used "
          "for this connection was closed."},
    {621, "The system could not open the phone book file."},
    {623, "The system could not find the phone book entry for this connection."},
    {628, "The connection was terminated by the remote computer before it could be "
          "completed."},
    {629, "The connection was closed by the remote computer."},
    {631, "The port was disconnected by the user."},
    {632, "The structure size is incorrect."},
    {633, "The modem (or other connecting device) is already in use or is not configured "
          "properly."},
    {638, "The remote server is not responding."},
    {651, "The modem (or other connecting device) has reported an error."},
    {676, "The phone line is busy."},
    {678, "There was no answer."},
    {680, "There was no dial tone."},
    {691, "Access was denied because the user name and/or password was invalid on the "
          "domain."},
    {692, "There was a hardware failure in the modem (or other connecting device)."},
    {718, "The connection was terminated because the remote computer did not respond in a "
          "timely manner."},
    {720, "A connection to the remote computer could not be established. You might need to "
          "change the network settings for this connection."},
    {734, "The PPP link control protocol was terminated."},
    {777, "The connection attempt failed because the modem (or other connecting device) on "
          "the remote computer is out of order."},
    {797, "A connection to the remote computer could not be established because the modem "
          "was not found or was busy."},
};

} // namespace

bool IsValidEntryName(const std::string& name)
{
    if (name.empty() || name.size() > MAX_ENTRY_NAME_LENGTH || name[0] == '.')
        return false;
    if (name.find_first_not_of(" \t") == std::string::npos)
        return false;
    for (const char c : name)
    {
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    }
    return name.find_first_of("\\/:*?\"<>|[]") == std::string::npos;
}

const char* ErrorText(std::uint32_t code)
{
    for (const ErrorEntry& entry : ERROR_TEXTS)
    {
        if (entry.code == code)
            return entry.text;
    }
    return nullptr;
}

std::string AddressText(const std::uint8_t (&bytes)[4])
{
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", bytes[0], bytes[1], bytes[2], bytes[3]);
    return text;
}

bool ParseAddress(const std::string& text, std::uint8_t (&bytes)[4])
{
    std::uint8_t parsed[4] = {};
    std::size_t position = 0;
    for (int part = 0; part < 4; ++part)
    {
        if (part > 0)
        {
            if (position >= text.size() || text[position] != '.')
                return false;
            ++position;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (position < text.size() && text[position] >= '0' && text[position] <= '9' &&
               digits < 3)
        {
            value = value * 10 + static_cast<unsigned>(text[position] - '0');
            ++position;
            ++digits;
        }
        if (digits == 0 || value > 255)
            return false;
        parsed[part] = static_cast<std::uint8_t>(value);
    }
    if (position != text.size())
        return false;
    for (int part = 0; part < 4; ++part)
        bytes[part] = parsed[part];
    return true;
}

} // namespace simnet
