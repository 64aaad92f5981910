#pragma once
// A registry text value held for a test: set (or removed) while the object lives,
// then put back as it was, with the keys the object had to create deleted again.

#include "Handles.h"

#include <optional>
#include <string>
#include <vector>

class ScopedRegistryValue
{
public:
    // Creates the key, and any missing parent, when needed; the value is untouched
    // until Set. Throws when the key cannot be created.
    ScopedRegistryValue(HKEY root, const std::string& keyPath, const std::string& name);
    // The same, then Set(value).
    ScopedRegistryValue(HKEY root, const std::string& keyPath, const std::string& name,
                        const std::optional<std::string>& value);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    // No value: the value is absent.
    void Set(const std::optional<std::string>& value);

private:
    HKEY m_root;
    std::string m_name;
    RegKey m_key;
    std::optional<std::string> m_saved;
    std::vector<std::string> m_createdKeys; // outermost first
};
