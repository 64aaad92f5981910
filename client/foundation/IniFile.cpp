#include "IniFile.h"

#include "Decimal.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace
{

void ClearReadOnly(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
}

} // namespace

IniFile::IniFile(const std::string& path) : m_path(path)
{
    ClearReadOnly(m_path);
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const
{
    char value[VALUE_BUFFER_SIZE] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), value,
                             VALUE_BUFFER_SIZE, m_path.c_str());
    return value;
}

std::int32_t IniFile::ReadInt(const std::string& section, const std::string& key,
                              std::int32_t defaultValue) const
{
    const std::string value = ReadString(section, key, "");
    return value.empty() ? defaultValue : ParseDecimal32(value.c_str());
}

std::int64_t IniFile::ReadInt64(const std::string& section, const std::string& key,
                                std::int64_t defaultValue) const
{
    const std::string value = ReadString(section, key, "");
    return value.empty() ? defaultValue : ParseDecimal64(value.c_str());
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      m_path.c_str()) != FALSE;
}

bool IniFile::WriteInt64(const std::string& section, const std::string& key, std::int64_t value)
{
    return WriteString(section, key, std::to_string(value));
}

std::string IniFile::GetFileName() const
{
    const std::string::size_type slash = m_path.rfind('\\');
    return slash == std::string::npos ? std::string() : m_path.substr(slash + 1);
}

void IniFile::FirstSection()
{
    m_sections = std::make_unique<char[]>(SECTION_BUFFER_SIZE);
    std::fill_n(m_sections.get(), SECTION_BUFFER_SIZE, '\0');
    GetPrivateProfileSectionNamesA(m_sections.get(), SECTION_BUFFER_SIZE, m_path.c_str());
    m_cursor = m_sections.get();
}

bool IniFile::IsSectionEnd()
{
    if (m_cursor != nullptr && *m_cursor != '\0')
        return false;
    m_sections.reset();
    m_cursor = nullptr;
    return true;
}

std::string IniFile::GetSectionName() const
{
    return m_cursor != nullptr ? m_cursor : "";
}

void IniFile::NextSection()
{
    if (m_cursor != nullptr && *m_cursor != '\0')
        m_cursor += std::strlen(m_cursor) + 1;
}
