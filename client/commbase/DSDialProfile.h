#pragma once
// The store on one profile file in the program's folder: the user's profiles in
// "DataCardInfo.ini" or the system's in "SysConfig.dat", and the further settings
// those files hold. Every read and write goes straight to the file, so stores on
// the same file see each other's completed writes. A store has no lock.

#include "IniFile.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class DSDialProfile
{
public:
    DSDialProfile() = default;
    virtual ~DSDialProfile() = default;
    DSDialProfile(const DSDialProfile&) = delete;
    DSDialProfile& operator=(const DSDialProfile&) = delete;

    // Binds the store to the named file (a bare name) in the program's folder. May be
    // called again to rebind; a failed call keeps the earlier binding.
    bool Open(const char* fileName);
    const std::string& GetPath() const { return m_strPath; }

    // At most 259 characters; false when path, section or key is empty, or when the
    // value is empty or missing.
    bool ReadString(const std::string& section, const std::string& key, std::string& value) const;
    std::int32_t ReadInt(const std::string& section, const std::string& key,
                         std::int32_t defaultValue) const;
    // An empty value writes the key with an empty value.
    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt(const std::string& section, const std::string& key, std::int32_t value);
    // Removes the whole section with all its keys.
    bool DeleteProfile(const std::string& section);

    // The "Password" key of a profile, kept in its scrambled form. A password whose
    // stored form would not fit a read is refused, and nothing is written.
    bool ReadPassword(const std::string& profile, std::string& password) const;
    bool WritePassword(const std::string& profile, const std::string& password);

    bool GetDefaultProfile(std::string& name) const;
    // A null name counts as empty.
    bool SetDefaultProfile(const char* name);

    // Refills the profile list with the sections that hold a non-empty "IP Dynamic",
    // in file order, and returns their number. A file without sections leaves the
    // list as it was.
    int LoadProfileList();
    const std::vector<std::string>& GetProfileList() const { return m_profiles; }
    bool IsProfileExist(const std::string& name) const;
    bool GetFirstProfile(std::string& name) const;

    // Appends "ModemName_1", "ModemName_2", ... up to the first missing or empty key.
    bool LoadModemNames();
    const std::vector<std::string>& GetModemNames() const { return m_modemNames; }

    // Traces its failure and then leaves style as it was.
    bool GetNetConnectionStyle(std::string& style) const;
    // 1, or 0 when system settings are locked by exactly "N".
    void GetSettingModifiable(int& modifiable) const;

    // Need a successful Open.
    std::int64_t ReadInt64(const std::string& section, const std::string& key,
                           std::int64_t defaultValue) const;
    bool WriteInt64(const std::string& section, const std::string& key, std::int64_t value);

private:
    std::unique_ptr<IniFile> m_pIniFile;
    std::string m_strPath;
    std::string m_strModulePath;
    std::string m_strModuleDir;
    std::vector<std::string> m_profiles;
    std::vector<std::string> m_modemNames;
};

// Picks the current profile: opens both stores on their files, loads both profile
// lists, writes an empty "Default" into a file that has none, and applies the rule
// of ChooseCurrentProfile. False when a store cannot be opened or a missing default
// cannot be written.
bool SelectCurrentProfile(DSDialProfile& userStore, DSDialProfile& systemStore, int& profileCount,
                          std::string& name, bool& isSystemProfile);
