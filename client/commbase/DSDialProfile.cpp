#include "DSDialProfile.h"

#include "Decimal.h"
#include "ModuleDir.h"
#include "Password.h"
#include "ProfileChoice.h"
#include "ProfileValues.h"
#include "Trace.h"

#include <windows.h>

namespace
{

const char TRACE_SOURCE[] = "commbase\\DSDialProfile.cpp";

const char SECTION_PROFILES[] = "Profiles";
const char KEY_DEFAULT[] = "Default";
const char SECTION_MODEM_NAME[] = "ModemName";
const char KEY_MODEM_NAME_PREFIX[] = "ModemName_";
const char SECTION_UI_STYLE[] = "UI Style";
const char KEY_NET_CONNECTION_STYLE[] = "Net Connection Style";
const char SECTION_UI_CUSTOMIZATION[] = "UI Customization";
const char KEY_SYSTEM_SETTING_MODIFICATION[] = "System Setting Modification";

// A value is read into a buffer of this size, so at most 259 characters come back.
constexpr DWORD VALUE_BUFFER_SIZE = 260;

} // namespace

bool DSDialProfile::Open(const char* fileName)
{
    if (fileName == nullptr)
        return false;
    std::string modulePath;
    if (!GetProgramPath(modulePath))
        return false;
    const std::string::size_type slash = modulePath.rfind('\\');
    if (slash == std::string::npos)
        return false;

    m_strModulePath = modulePath;
    m_strModuleDir = modulePath.substr(0, slash + 1);
    m_strPath = m_strModuleDir + fileName;
    m_pIniFile = std::make_unique<IniFile>(m_strPath);
    return true;
}

bool DSDialProfile::ReadString(const std::string& section, const std::string& key,
                               std::string& value) const
{
    if (m_strPath.empty() || section.empty() || key.empty())
        return false;
    value.clear();
    char buffer[VALUE_BUFFER_SIZE] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, VALUE_BUFFER_SIZE,
                             m_strPath.c_str());
    value = buffer;
    return !value.empty();
}

std::int32_t DSDialProfile::ReadInt(const std::string& section, const std::string& key,
                                    std::int32_t defaultValue) const
{
    std::string value;
    return ReadString(section, key, value) ? ParseDecimal32(value.c_str()) : defaultValue;
}

bool DSDialProfile::WriteString(const std::string& section, const std::string& key,
                                const std::string& value)
{
    // The accessor exists whenever the path does: Open sets both.
    if (m_strPath.empty() || section.empty() || key.empty())
        return false;
    return m_pIniFile->WriteString(section, key, value);
}

bool DSDialProfile::WriteInt(const std::string& section, const std::string& key, std::int32_t value)
{
    return WriteString(section, key, std::to_string(value));
}

bool DSDialProfile::DeleteProfile(const std::string& section)
{
    if (m_strPath.empty() || section.empty())
        return false;
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, m_strPath.c_str()) !=
           FALSE;
}

bool DSDialProfile::ReadPassword(const std::string& profile, std::string& password) const
{
    password.clear();
    std::string value;
    std::string scrambled;
    if (!ReadString(profile, PROFILE_KEY_PASSWORD, value) || !DecodePasswordValue(value, scrambled))
        return false;
    ScramblePassword(scrambled, password);
    return true;
}

bool DSDialProfile::WritePassword(const std::string& profile, const std::string& password)
{
    std::string scrambled;
    ScramblePassword(password, scrambled);
    std::string value;
    return EncodePasswordValue(scrambled, value) &&
           WriteString(profile, PROFILE_KEY_PASSWORD, value);
}

bool DSDialProfile::GetDefaultProfile(std::string& name) const
{
    return ReadString(SECTION_PROFILES, KEY_DEFAULT, name);
}

bool DSDialProfile::SetDefaultProfile(const char* name)
{
    return WriteString(SECTION_PROFILES, KEY_DEFAULT, name != nullptr ? name : "");
}

int DSDialProfile::LoadProfileList()
{
    if (m_strPath.empty() || !m_pIniFile)
        return 0;
    std::vector<std::string> sections;
    for (m_pIniFile->FirstSection(); !m_pIniFile->IsSectionEnd(); m_pIniFile->NextSection())
        sections.push_back(m_pIniFile->GetSectionName());
    if (sections.empty())
        return 0;

    m_profiles.clear();
    std::string ipDynamic;
    for (const std::string& section : sections)
        if (ReadString(section, PROFILE_KEY_IP_DYNAMIC, ipDynamic))
            m_profiles.push_back(section);
    return static_cast<int>(m_profiles.size());
}

bool DSDialProfile::IsProfileExist(const std::string& name) const
{
    return ContainsProfile(m_profiles, name);
}

bool DSDialProfile::GetFirstProfile(std::string& name) const
{
    if (m_profiles.empty())
        return false;
    name = m_profiles.front();
    return true;
}

bool DSDialProfile::LoadModemNames()
{
    if (m_strPath.empty())
        return false;
    std::string modemName;
    for (int counter = 1;
         ReadString(SECTION_MODEM_NAME, KEY_MODEM_NAME_PREFIX + std::to_string(counter), modemName);
         ++counter)
        m_modemNames.push_back(modemName);
    return true;
}

bool DSDialProfile::GetNetConnectionStyle(std::string& style) const
{
    std::string value;
    if (!ReadString(SECTION_UI_STYLE, KEY_NET_CONNECTION_STYLE, value))
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL, "GetNetConnectionStyle() failed", TRACE_SOURCE,
                   __LINE__, 0, 0, 0);
        return false;
    }
    style = value;
    return true;
}

void DSDialProfile::GetSettingModifiable(int& modifiable) const
{
    modifiable = 1;
    std::string value;
    if (ReadString(SECTION_UI_CUSTOMIZATION, KEY_SYSTEM_SETTING_MODIFICATION, value) &&
        value == "N")
        modifiable = 0;
}

std::int64_t DSDialProfile::ReadInt64(const std::string& section, const std::string& key,
                                      std::int64_t defaultValue) const
{
    return m_pIniFile ? m_pIniFile->ReadInt64(section, key, defaultValue) : defaultValue;
}

bool DSDialProfile::WriteInt64(const std::string& section, const std::string& key,
                               std::int64_t value)
{
    return m_pIniFile && m_pIniFile->WriteInt64(section, key, value);
}

namespace
{

// A file without a default gets an empty one, so the key is always present.
bool ReadOrResetDefault(DSDialProfile& store, std::string& defaultName)
{
    if (store.GetDefaultProfile(defaultName))
        return true;
    defaultName.clear();
    return store.SetDefaultProfile("");
}

} // namespace

bool SelectCurrentProfile(DSDialProfile& userStore, DSDialProfile& systemStore, int& profileCount,
                          std::string& name, bool& isSystemProfile)
{
    if (!userStore.Open(USER_PROFILE_FILE) || !systemStore.Open(SYSTEM_PROFILE_FILE))
        return false;
    profileCount = userStore.LoadProfileList() + systemStore.LoadProfileList();
    if (profileCount == 0)
    {
        name.clear();
        isSystemProfile = false;
        return true;
    }

    std::string userDefault;
    std::string systemDefault;
    if (!ReadOrResetDefault(userStore, userDefault) ||
        !ReadOrResetDefault(systemStore, systemDefault))
        return false;

    const ProfileChoice choice = ChooseCurrentProfile(userStore.GetProfileList(), userDefault,
                                                      systemStore.GetProfileList(), systemDefault);
    name = choice.name;
    isSystemProfile = choice.isSystemProfile;
    return true;
}
