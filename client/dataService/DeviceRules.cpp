#include "DeviceRules.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace
{

constexpr std::size_t SETUP_ARGUMENT_SIZE = 128;
constexpr std::size_t COMMAND_LINE_SIZE = 260;
const char SETUP_PROGRAM[] = "setup.exe";

char LowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The leading decimal number of a text: white space, an optional sign, digits with
// an optional decimal point. Unlike strtod's own rules, no hexadecimal form, exponent
// or "inf" is taken, so "5e1" stays 5.
std::string DecimalPrefix(const char* text)
{
    const char* start = text;
    while (std::isspace(static_cast<unsigned char>(*start)))
        ++start;
    const char* end = start;
    if (*end == '+' || *end == '-')
        ++end;
    while (std::isdigit(static_cast<unsigned char>(*end)))
        ++end;
    if (*end == '.')
        ++end;
    while (std::isdigit(static_cast<unsigned char>(*end)))
        ++end;
    return std::string(start, end);
}

} // namespace

std::size_t CountMatchingHardwareIds(char* list, std::size_t size, const char* id)
{
    const std::size_t idLength = std::strlen(id);
    std::size_t matches = 0;
    std::size_t position = 0;
    while (position < size)
    {
        char* entry = list + position;
        // The last entry need not carry its NUL inside the reported size.
        std::size_t length = 0;
        while (position + length < size && entry[length] != '\0')
            ++length;
        if (length == 0)
            break;
        for (std::size_t i = 0; i < length; ++i)
            entry[i] = LowerAscii(entry[i]);
        if (idLength != 0 && length == idLength && std::memcmp(entry, id, length) == 0)
            ++matches;
        position += length + 1;
    }
    return matches;
}

bool IsBelowWindows2000(unsigned long versionWord)
{
    return (versionWord & 0xFF) < 5;
}

RegistryVersion ClassifyRegistryVersion(const char* text)
{
    const double version = std::strtod(DecimalPrefix(text).c_str(), nullptr);
    if (!(version >= 5.0)) // also a text that is no number
        return RegistryVersion::Unclassified;
    if (version == 5.0)
        return RegistryVersion::Windows2000;
    if (version < 6.0)
        return RegistryVersion::WindowsXP;
    return RegistryVersion::NeedsBuildLabel;
}

int ClassifyBuildLabel(std::string label)
{
    for (char& c : label)
        c = LowerAscii(c);
    if (label.find(".x86") != std::string::npos)
        return OS_VISTA_X86;
    if (label.find(".amd64") != std::string::npos)
        return OS_VISTA_AMD64;
    return -1;
}

bool BuildSetupArgument(const char* verb, const char* hardwareId, std::string& argument)
{
    std::string text = std::string(verb) + hardwareId;
    if (text.size() >= SETUP_ARGUMENT_SIZE)
        return false;
    argument = std::move(text);
    return true;
}

bool BuildSetupCommandLine(const std::string& folder, const std::string& argument,
                           std::string& commandLine)
{
    std::string text = "\"" + folder + "\\" + SETUP_PROGRAM + "\" " + argument;
    if (text.size() >= COMMAND_LINE_SIZE)
        return false;
    commandLine = std::move(text);
    return true;
}
