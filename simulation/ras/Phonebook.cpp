#include "Phonebook.h"

#include "NetworkModel.h"
#include "RasRules.h"

#include <shlobj.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace phonebook
{

namespace
{

const char DEFAULT_PHONEBOOK[] = "\\Microsoft\\Network\\Connections\\Pbk\\rasphone.pbk";

// Longer than any field of the entry record, so a value is never cut on reading.
constexpr DWORD VALUE_BUFFER_SIZE = 1024;

std::string ReadText(const std::string& file, const std::string& entryName, const char* key)
{
    char value[VALUE_BUFFER_SIZE] = {};
    GetPrivateProfileStringA(entryName.c_str(), key, "", value, VALUE_BUFFER_SIZE, file.c_str());
    return value;
}

DWORD ReadNumber(const std::string& file, const std::string& entryName, const char* key)
{
    const std::string text = ReadText(file, entryName, key);
    return static_cast<DWORD>(std::strtoul(text.c_str(), nullptr, 10));
}

void ReadAddress(const std::string& file, const std::string& entryName, const char* key,
                 RASIPADDR& address)
{
    std::uint8_t bytes[4] = {};
    if (!simnet::ParseAddress(ReadText(file, entryName, key), bytes))
        return;
    address = {bytes[0], bytes[1], bytes[2], bytes[3]};
}

bool WriteText(const std::string& file, const std::string& entryName, const char* key,
               const std::string& value)
{
    return WritePrivateProfileStringA(entryName.c_str(), key, value.c_str(), file.c_str()) != 0;
}

bool WriteNumber(const std::string& file, const std::string& entryName, const char* key,
                 DWORD value)
{
    return WriteText(file, entryName, key, std::to_string(value));
}

bool WriteAddress(const std::string& file, const std::string& entryName, const char* key,
                  const RASIPADDR& address)
{
    const std::uint8_t bytes[4] = {address.a, address.b, address.c, address.d};
    return WriteText(file, entryName, key, simnet::AddressText(bytes));
}

// Makes every missing folder of the file's path.
void CreateFolders(const std::string& file)
{
    for (std::size_t slash = file.find('\\', 3); slash != std::string::npos;
         slash = file.find('\\', slash + 1))
        CreateDirectoryA(file.substr(0, slash).c_str(), nullptr);
}

struct NumberField
{
    const char* key;
    DWORD RASENTRYA::*field;
};

const NumberField NUMBER_FIELDS[] = {
    {"Type", &RASENTRYA::dwType},
    {"Options", &RASENTRYA::dwfOptions},
    {"Options2", &RASENTRYA::dwfOptions2},
    {"Options3", &RASENTRYA::dwfOptions3},
    {"CountryID", &RASENTRYA::dwCountryID},
    {"CountryCode", &RASENTRYA::dwCountryCode},
    {"NetProtocols", &RASENTRYA::dwfNetProtocols},
    {"FramingProtocol", &RASENTRYA::dwFramingProtocol},
    {"FrameSize", &RASENTRYA::dwFrameSize},
    {"EncryptionType", &RASENTRYA::dwEncryptionType},
    {"DialMode", &RASENTRYA::dwDialMode},
    {"IdleDisconnectSeconds", &RASENTRYA::dwIdleDisconnectSeconds},
    {"RedialCount", &RASENTRYA::dwRedialCount},
    {"RedialPause", &RASENTRYA::dwRedialPause},
};

struct AddressField
{
    const char* key;
    RASIPADDR RASENTRYA::*field;
};

const AddressField ADDRESS_FIELDS[] = {
    {"IpAddress", &RASENTRYA::ipaddr},
    {"DnsAddress", &RASENTRYA::ipaddrDns},
    {"DnsAltAddress", &RASENTRYA::ipaddrDnsAlt},
    {"WinsAddress", &RASENTRYA::ipaddrWins},
    {"WinsAltAddress", &RASENTRYA::ipaddrWinsAlt},
};

} // namespace

std::string FilePath(LPCSTR phonebookPath)
{
    if (phonebookPath != nullptr && phonebookPath[0] != '\0')
        return phonebookPath;
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0,
                                folder)))
        return std::string();
    return std::string(folder) + DEFAULT_PHONEBOOK;
}

bool EntryExists(const std::string& file, const std::string& entryName)
{
    // The key list of the section: empty when there is no such section.
    char keys[64] = {};
    return GetPrivateProfileStringA(entryName.c_str(), nullptr, "", keys, sizeof keys,
                                    file.c_str()) > 0;
}

void ReadEntry(const std::string& file, const std::string& entryName, RASENTRYA& entry)
{
    for (const NumberField& number : NUMBER_FIELDS)
        entry.*number.field = ReadNumber(file, entryName, number.key);
    for (const AddressField& address : ADDRESS_FIELDS)
        ReadAddress(file, entryName, address.key, entry.*address.field);
    simnet::CopyText(entry.szDeviceType, ReadText(file, entryName, "DeviceType"));
    simnet::CopyText(entry.szDeviceName, ReadText(file, entryName, "DeviceName"));
    simnet::CopyText(entry.szLocalPhoneNumber, ReadText(file, entryName, "PhoneNumber"));
    simnet::CopyText(entry.szAreaCode, ReadText(file, entryName, "AreaCode"));
    simnet::CopyText(entry.szScript, ReadText(file, entryName, "Script"));
    simnet::CopyText(entry.szDnsSuffix, ReadText(file, entryName, "DnsSuffix"));
}

bool WriteEntry(const std::string& file, const std::string& entryName, const RASENTRYA& entry)
{
    CreateFolders(file);
    // Remove the old entry first, so that no key of an earlier version survives.
    WritePrivateProfileStringA(entryName.c_str(), nullptr, nullptr, file.c_str());
    bool written =
        WriteText(file, entryName, "DeviceType", simnet::FieldText(entry.szDeviceType)) &&
        WriteText(file, entryName, "DeviceName", simnet::FieldText(entry.szDeviceName)) &&
        WriteText(file, entryName, "PhoneNumber", simnet::FieldText(entry.szLocalPhoneNumber)) &&
        WriteText(file, entryName, "AreaCode", simnet::FieldText(entry.szAreaCode)) &&
        WriteText(file, entryName, "Script", simnet::FieldText(entry.szScript)) &&
        WriteText(file, entryName, "DnsSuffix", simnet::FieldText(entry.szDnsSuffix));
    for (const NumberField& number : NUMBER_FIELDS)
        written = written && WriteNumber(file, entryName, number.key, entry.*number.field);
    for (const AddressField& address : ADDRESS_FIELDS)
        written = written && WriteAddress(file, entryName, address.key, entry.*address.field);
    return written;
}

bool DeleteEntry(const std::string& file, const std::string& entryName)
{
    return WritePrivateProfileStringA(entryName.c_str(), nullptr, nullptr, file.c_str()) != 0;
}

bool WriteCredentials(const std::string& file, const RASDIALPARAMSA& params, bool removePassword)
{
    const std::string entryName = simnet::FieldText(params.szEntryName);
    return WriteText(file, entryName, "UserName", simnet::FieldText(params.szUserName)) &&
           WriteText(file, entryName, "Domain", simnet::FieldText(params.szDomain)) &&
           WriteText(file, entryName, "Password",
                     removePassword ? std::string() : simnet::FieldText(params.szPassword));
}

} // namespace phonebook
