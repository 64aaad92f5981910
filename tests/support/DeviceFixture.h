#pragma once
// Declared devices in the device tree of the registry, as the system's device
// installation interface reads them:
//
//   HKLM\System\CurrentControlSet\Enum\<enumerator>\<device>\<instance>
//       HardwareID, CompatibleIDs (REG_MULTI_SZ), ClassGUID, FriendlyName, Driver
//       Device Parameters\<values>                      (the hardware key, DIREG_DEV)
//   HKLM\System\CurrentControlSet\Control\Class\<class guid>\<index>
//       <values>                                        (the driver key, DIREG_DRV)
//
// A test declares its devices and holds a DeviceFixture while it runs; scripts
// use the same declarations from an INI-syntax file through the devreg tool.

#include <string>
#include <utility>
#include <vector>

constexpr char MODEM_CLASS_GUID[] = "{4D36E96D-E325-11CE-BFC1-08002BE10318}";
constexpr char PORTS_CLASS_GUID[] = "{4D36E978-E325-11CE-BFC1-08002BE10318}";
constexpr char USB_CLASS_GUID[] = "{36FC9E60-C465-11CF-8056-444553540000}";

// A REG_SZ value: name and text.
using RegistryText = std::pair<std::string, std::string>;

struct DeviceDeclaration
{
    std::string instanceId; // enumerator\device\instance, e.g. "USB\VID_1E0E&PID_9001\5&1"
    std::vector<std::string> hardwareIds;
    std::vector<std::string> compatibleIds;
    std::string classGuid;
    std::string friendlyName;
    std::string driverIndex; // "NNNN" under the class's key; empty: the device has no driver key
    std::vector<RegistryText> driverValues;     // e.g. {"AttachedTo", "COM5"}
    std::vector<RegistryText> deviceParameters; // e.g. {"PortName", "COM5"}
};

// The registry paths below HKEY_LOCAL_MACHINE.
std::string DeviceInstanceKeyPath(const DeviceDeclaration& device);
std::string DeviceDriverKeyPath(const DeviceDeclaration& device); // empty without driver key

// Writes the device's keys. Refuses (false, with the reason in error) a device whose
// instance key or driver key exists already, so that removal never takes away
// something that was there before; a half-written device is removed again.
bool InstallDevice(const DeviceDeclaration& device, std::string& error);

// Removes the device's instance key, the driver key its "Driver" value names now
// (also one that the system created after installation), and the parent keys that
// are left without subkeys and values.
void RemoveDevice(const DeviceDeclaration& device);

// Installs all the devices or none: when one is refused, the ones installed before
// it are removed again and the reason is in error.
bool InstallDevices(const std::vector<DeviceDeclaration>& devices, std::string& error);

// Removes the devices, the last one first, so that keys shared by several devices
// go with the last of them.
void RemoveDevices(const std::vector<DeviceDeclaration>& devices);

// Reads declarations from an INI-syntax file, one section per device:
//
//   [USB\VID_1E0E&PID_9001&MI_02\6&2A1F&0&0002]
//   HardwareID=usb\vid_1e0e&pid_9001&mi_02,usb\vid_1e0e&pid_9001
//   CompatibleIDs=usb\class_ff
//   ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}
//   FriendlyName=Torvik Wireless Modem
//   Driver=0007
//   Driver\AttachedTo=COM5
//   Device Parameters\PortName=COM5
//
// Lists are separated by commas. Keys "Driver\<name>" and "Device Parameters\<name>"
// give values of the driver key and of the hardware key. False with the reason in
// error for an unreadable file or an unknown key.
bool LoadDeviceDeclarations(const std::string& path, std::vector<DeviceDeclaration>& devices,
                            std::string& error);

// Installs the devices for the life of the object and removes them when it goes.
// Throws std::runtime_error when a device cannot be installed (after removing the
// ones already installed).
class DeviceFixture
{
public:
    explicit DeviceFixture(std::vector<DeviceDeclaration> devices);
    ~DeviceFixture();
    DeviceFixture(const DeviceFixture&) = delete;
    DeviceFixture& operator=(const DeviceFixture&) = delete;

    const std::vector<DeviceDeclaration>& Devices() const { return m_devices; }

private:
    std::vector<DeviceDeclaration> m_devices;
};
