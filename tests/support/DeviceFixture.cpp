#include "DeviceFixture.h"

#include "Handles.h"
#include "IniFile.h"

#include <windows.h>

#include <stdexcept>

namespace
{

const char ENUM_ROOT[] = "System\\CurrentControlSet\\Enum";
const char CLASS_ROOT[] = "System\\CurrentControlSet\\Control\\Class";
const char HARDWARE_KEY[] = "Device Parameters";
const char DRIVER_PREFIX[] = "Driver\\";
const char PARAMETER_PREFIX[] = "Device Parameters\\";

// A section's lines, "key=value" each, in one block; 32 KB is the block size the
// private-profile functions allow.
const DWORD SECTION_BLOCK_SIZE = 32767;

bool KeyExists(const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) ==
           ERROR_SUCCESS;
}

bool CreateKey(const std::string& path, RegKey& key, std::string& error)
{
    const LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                        KEY_ALL_ACCESS, nullptr, key.receive(), nullptr);
    if (result == ERROR_SUCCESS)
        return true;
    error = "cannot create HKLM\\" + path + " (error " + std::to_string(result) + ")";
    return false;
}

bool SetText(HKEY key, const std::string& name, const std::string& text, std::string& error)
{
    const LONG result =
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
    if (result == ERROR_SUCCESS)
        return true;
    error = "cannot write value " + name + " (error " + std::to_string(result) + ")";
    return false;
}

bool SetTextList(HKEY key, const std::string& name, const std::vector<std::string>& texts,
                 std::string& error)
{
    if (texts.empty())
        return true;
    std::string block;
    for (const std::string& text : texts)
        block.append(text).push_back('\0');
    block.push_back('\0');
    const LONG result = RegSetValueExA(key, name.c_str(), 0, REG_MULTI_SZ,
                                       reinterpret_cast<const BYTE*>(block.data()),
                                       static_cast<DWORD>(block.size()));
    if (result == ERROR_SUCCESS)
        return true;
    error = "cannot write value " + name + " (error " + std::to_string(result) + ")";
    return false;
}

bool SetTexts(HKEY key, const std::vector<RegistryText>& values, std::string& error)
{
    for (const RegistryText& value : values)
    {
        if (!SetText(key, value.first, value.second, error))
            return false;
    }
    return true;
}

std::string ReadText(const std::string& path, const char* name)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) !=
        ERROR_SUCCESS)
        return "";
    char text[MAX_PATH] = {};
    DWORD size = sizeof text - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return "";
    return text;
}

bool IsBare(const std::string& path)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) !=
        ERROR_SUCCESS)
        return false;
    DWORD subkeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    return subkeys == 0 && values == 0;
}

// Deletes the key and, going up, every parent left without subkeys and values,
// stopping at the root the key lives under.
void DeleteWithBareParents(std::string path, const std::string& root)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    for (;;)
    {
        const std::size_t cut = path.rfind('\\');
        if (cut == std::string::npos || cut <= root.size())
            return;
        path.resize(cut);
        if (!IsBare(path) || RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) != ERROR_SUCCESS)
            return;
    }
}

bool WriteDevice(const DeviceDeclaration& device, std::string& error)
{
    RegKey instance;
    if (!CreateKey(DeviceInstanceKeyPath(device), instance, error) ||
        !SetTextList(instance.get(), "HardwareID", device.hardwareIds, error) ||
        !SetTextList(instance.get(), "CompatibleIDs", device.compatibleIds, error))
        return false;
    if (!device.classGuid.empty() && !SetText(instance.get(), "ClassGUID", device.classGuid, error))
        return false;
    if (!device.friendlyName.empty() &&
        !SetText(instance.get(), "FriendlyName", device.friendlyName, error))
        return false;

    RegKey hardware;
    if (!CreateKey(DeviceInstanceKeyPath(device) + "\\" + HARDWARE_KEY, hardware, error) ||
        !SetTexts(hardware.get(), device.deviceParameters, error))
        return false;

    if (device.driverIndex.empty())
        return true;
    RegKey driver;
    return SetText(instance.get(), "Driver", device.classGuid + "\\" + device.driverIndex, error) &&
           CreateKey(DeviceDriverKeyPath(device), driver, error) &&
           SetTexts(driver.get(), device.driverValues, error);
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size())
    {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos)
            comma = text.size();
        if (comma > start)
            items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool StartsWith(const std::string& text, const char* prefix, std::string& rest)
{
    const std::string head(prefix);
    if (text.compare(0, head.size(), head) != 0 || text.size() == head.size())
        return false;
    rest = text.substr(head.size());
    return true;
}

bool ApplyLine(const std::string& key, const std::string& value, DeviceDeclaration& device)
{
    std::string name;
    if (lstrcmpiA(key.c_str(), "HardwareID") == 0)
        device.hardwareIds = SplitList(value);
    else if (lstrcmpiA(key.c_str(), "CompatibleIDs") == 0)
        device.compatibleIds = SplitList(value);
    else if (lstrcmpiA(key.c_str(), "ClassGUID") == 0)
        device.classGuid = value;
    else if (lstrcmpiA(key.c_str(), "FriendlyName") == 0)
        device.friendlyName = value;
    else if (lstrcmpiA(key.c_str(), "Driver") == 0)
        device.driverIndex = value;
    else if (StartsWith(key, DRIVER_PREFIX, name))
        device.driverValues.emplace_back(name, value);
    else if (StartsWith(key, PARAMETER_PREFIX, name))
        device.deviceParameters.emplace_back(name, value);
    else
        return false;
    return true;
}

bool ReadSection(const std::string& path, const std::string& section, DeviceDeclaration& device,
                 std::string& error)
{
    std::vector<char> block(SECTION_BLOCK_SIZE);
    GetPrivateProfileSectionA(section.c_str(), block.data(), SECTION_BLOCK_SIZE, path.c_str());
    device.instanceId = section;
    for (const char* line = block.data(); *line != '\0'; line += lstrlenA(line) + 1)
    {
        const std::string text(line);
        const std::size_t equals = text.find('=');
        const std::string key = text.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
        if (!ApplyLine(key, value, device))
        {
            error = "unknown key \"" + key + "\" in section [" + section + "]";
            return false;
        }
    }
    return true;
}

// Removes the first count devices, the last of them first.
void RemoveNewestFirst(const std::vector<DeviceDeclaration>& devices, std::size_t count)
{
    while (count > 0)
        RemoveDevice(devices[--count]);
}

} // namespace

std::string DeviceInstanceKeyPath(const DeviceDeclaration& device)
{
    return std::string(ENUM_ROOT) + "\\" + device.instanceId;
}

std::string DeviceDriverKeyPath(const DeviceDeclaration& device)
{
    if (device.driverIndex.empty())
        return "";
    return std::string(CLASS_ROOT) + "\\" + device.classGuid + "\\" + device.driverIndex;
}

bool InstallDevice(const DeviceDeclaration& device, std::string& error)
{
    // Three parts, so that the key sits where the device installation interface looks.
    if (device.instanceId.find('\\') == std::string::npos ||
        device.instanceId.find('\\') == device.instanceId.rfind('\\'))
    {
        error = "instance id \"" + device.instanceId + "\" is not enumerator\\device\\instance";
        return false;
    }
    if (KeyExists(DeviceInstanceKeyPath(device)))
    {
        error = "device " + device.instanceId + " exists already";
        return false;
    }
    if (!device.driverIndex.empty() && KeyExists(DeviceDriverKeyPath(device)))
    {
        error = "driver key " + DeviceDriverKeyPath(device) + " exists already";
        return false;
    }
    if (WriteDevice(device, error))
        return true;
    RemoveDevice(device);
    return false;
}

void RemoveDevice(const DeviceDeclaration& device)
{
    const std::string instancePath = DeviceInstanceKeyPath(device);
    const std::string driver = ReadText(instancePath, "Driver");
    if (!driver.empty())
        DeleteWithBareParents(std::string(CLASS_ROOT) + "\\" + driver, CLASS_ROOT);
    DeleteWithBareParents(instancePath, ENUM_ROOT);
}

bool InstallDevices(const std::vector<DeviceDeclaration>& devices, std::string& error)
{
    for (std::size_t i = 0; i < devices.size(); ++i)
    {
        if (!InstallDevice(devices[i], error))
        {
            RemoveNewestFirst(devices, i);
            return false;
        }
    }
    return true;
}

void RemoveDevices(const std::vector<DeviceDeclaration>& devices)
{
    RemoveNewestFirst(devices, devices.size());
}

bool LoadDeviceDeclarations(const std::string& path, std::vector<DeviceDeclaration>& devices,
                            std::string& error)
{
    // The private-profile functions look for a bare file name in the Windows folder.
    char fullPath[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, fullPath, nullptr);
    if (length == 0 || length >= MAX_PATH ||
        GetFileAttributesA(fullPath) == INVALID_FILE_ATTRIBUTES)
    {
        error = "cannot read " + path;
        return false;
    }

    IniFile file(fullPath);
    devices.clear();
    for (file.FirstSection(); !file.IsSectionEnd(); file.NextSection())
    {
        DeviceDeclaration device;
        if (!ReadSection(fullPath, file.GetSectionName(), device, error))
            return false;
        devices.push_back(device);
    }
    return true;
}

DeviceFixture::DeviceFixture(std::vector<DeviceDeclaration> devices) : m_devices(std::move(devices))
{
    std::string error;
    if (!InstallDevices(m_devices, error))
        throw std::runtime_error(error);
}

DeviceFixture::~DeviceFixture()
{
    RemoveDevices(m_devices);
}
