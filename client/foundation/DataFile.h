#pragma once
// A data file of the program's folder that can be verified against its CRC-32
// entry in the checksum table "sysmagic.dat".

#include "IniFile.h"

#include <string>

class DataFile
{
public:
    explicit DataFile(const std::string& path) : m_file(path) {}
    virtual ~DataFile() = default;

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const
    {
        return m_file.ReadString(section, key, defaultValue);
    }
    void FirstSection() { m_file.FirstSection(); }
    bool IsSectionEnd() { return m_file.IsSectionEnd(); }
    std::string GetSectionName() const { return m_file.GetSectionName(); }
    void NextSection() { m_file.NextSection(); }

    // True when the table's entry for this file is -1, or equals the file's CRC-32
    // (neither being 0).
    bool CheckMagic() const;

private:
    IniFile m_file;
};
