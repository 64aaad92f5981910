#pragma once
// An INI-syntax file read and written through the system's private-profile
// functions: case-insensitive section and key names, values as text or decimals.

#include <cstdint>
#include <memory>
#include <string>

class IniFile
{
public:
    // Binds to the file; an existing read-only file is made writable, keeping its
    // other attributes. The file need not exist: reads give defaults, the first write
    // creates it.
    explicit IniFile(const std::string& path);
    virtual ~IniFile() = default;

    // The value, at most 1023 characters; the default when the key or file is missing.
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    // An empty value gives the default; any other is parsed as a decimal, wrapping.
    std::int32_t ReadInt(const std::string& section, const std::string& key,
                         std::int32_t defaultValue) const;
    std::int64_t ReadInt64(const std::string& section, const std::string& key,
                           std::int64_t defaultValue) const;

    bool WriteString(const std::string& section, const std::string& key, const std::string& value);
    bool WriteInt64(const std::string& section, const std::string& key, std::int64_t value);

    std::string GetPath() const { return m_path; }
    // The part of the path after its last backslash; empty when it has none.
    std::string GetFileName() const;

    // Section walk: FirstSection, then while !IsSectionEnd(): GetSectionName,
    // work, NextSection. One walk at a time per object.
    void FirstSection();
    bool IsSectionEnd();
    std::string GetSectionName() const;
    void NextSection();

private:
    static constexpr unsigned SECTION_BUFFER_SIZE = 4096;
    static constexpr unsigned VALUE_BUFFER_SIZE = 1024;

    std::string m_path;
    std::unique_ptr<char[]> m_sections;
    const char* m_cursor = nullptr;
};
