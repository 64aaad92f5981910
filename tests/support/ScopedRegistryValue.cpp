#include "ScopedRegistryValue.h"

#include <stdexcept>

namespace
{

bool KeyOpens(HKEY root, const std::string& path)
{
    RegKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.receive()) == ERROR_SUCCESS)
        return true;
    key.release();
    return false;
}

std::optional<std::string> ReadText(HKEY key, const std::string& name)
{
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(text);
}

} // namespace

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& keyPath,
                                         const std::string& name)
    : m_root(root), m_name(name)
{
    for (std::string::size_type pos = 0; pos != std::string::npos;)
    {
        pos = keyPath.find('\\', pos + 1);
        const std::string prefix = keyPath.substr(0, pos);
        if (!KeyOpens(root, prefix))
            m_createdKeys.push_back(prefix);
    }
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        m_key.receive(), nullptr) != ERROR_SUCCESS)
    {
        m_key.release();
        throw std::runtime_error("cannot create registry key " + keyPath);
    }
    m_saved = ReadText(m_key.get(), m_name);
}

ScopedRegistryValue::ScopedRegistryValue(HKEY root, const std::string& keyPath,
                                         const std::string& name,
                                         const std::optional<std::string>& value)
    : ScopedRegistryValue(root, keyPath, name)
{
    Set(value);
}

ScopedRegistryValue::~ScopedRegistryValue()
{
    Set(m_saved);
    m_key.reset();
    for (auto key = m_createdKeys.rbegin(); key != m_createdKeys.rend(); ++key)
        RegDeleteKeyA(m_root, key->c_str());
}

void ScopedRegistryValue::Set(const std::optional<std::string>& value)
{
    if (value)
        RegSetValueExA(m_key.get(), m_name.c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>(value->size() + 1));
    else
        RegDeleteValueA(m_key.get(), m_name.c_str());
}
