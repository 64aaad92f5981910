#include "DeviceFixture.h"
#include "Handles.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace
{

const GUID MODEM_CLASS = {
    0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

DeviceDeclaration Modem()
{
    DeviceDeclaration modem;
    modem.instanceId = "USB\\VID_1E0E&PID_9001&MI_02\\6&2A1F&0&0002";
    modem.hardwareIds = {"usb\\vid_1e0e&pid_9001&rev_0100&mi_02", "usb\\vid_1e0e&pid_9001&mi_02"};
    modem.compatibleIds = {"usb\\class_ff&subclass_ff"};
    modem.classGuid = MODEM_CLASS_GUID;
    modem.friendlyName = "Torvik Wireless Modem";
    modem.driverIndex = "0417";
    modem.driverValues = {{"AttachedTo", "COM7"}};
    modem.deviceParameters = {{"PortName", "COM7"}};
    return modem;
}

// What the device installation interface reports about one device instance.
struct SeenDevice
{
    bool found = false;
    std::string hardwareIds; // the REG_MULTI_SZ block as read
    std::string friendlyName;
    std::string attachedTo;
    std::string portName;
};

// The property's bytes as the read reports them, every NUL included.
std::string ReadProperty(HDEVINFO set, SP_DEVINFO_DATA& element, DWORD property)
{
    char buffer[1024] = {};
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &element, property, nullptr,
                                           reinterpret_cast<BYTE*>(buffer), sizeof buffer, &size))
        return "";
    return std::string(buffer, size);
}

std::string ReadKeyText(HDEVINFO set, SP_DEVINFO_DATA& element, DWORD keyType, const char* name)
{
    RegKey key(SetupDiOpenDevRegKey(set, &element, DICS_FLAG_GLOBAL, 0, keyType, KEY_READ));
    if (key.get() == INVALID_HANDLE_VALUE)
    {
        key.release();
        return "";
    }
    char text[256] = {};
    DWORD size = sizeof text - 1;
    RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    return text;
}

SeenDevice FindByClass(const GUID* classGuid, DWORD flags, const std::string& instanceId)
{
    SeenDevice seen;
    DeviceInfoSet set(SetupDiGetClassDevsA(classGuid, nullptr, nullptr, flags));
    if (!set)
        return seen;
    SP_DEVINFO_DATA element = {sizeof element};
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set.get(), i, &element); ++i)
    {
        char id[256] = {};
        if (!SetupDiGetDeviceInstanceIdA(set.get(), &element, id, sizeof id, nullptr) ||
            lstrcmpiA(id, instanceId.c_str()) != 0)
            continue;
        seen.found = true;
        seen.hardwareIds = ReadProperty(set.get(), element, SPDRP_HARDWAREID);
        seen.friendlyName = ReadProperty(set.get(), element, SPDRP_FRIENDLYNAME);
        seen.attachedTo = ReadKeyText(set.get(), element, DIREG_DRV, "AttachedTo");
        seen.portName = ReadKeyText(set.get(), element, DIREG_DEV, "PortName");
        break;
    }
    return seen;
}

bool KeyExists(const std::string& path)
{
    RegKey key;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.receive()) ==
           ERROR_SUCCESS;
}

std::string MultiSz(std::initializer_list<const char*> texts)
{
    std::string block;
    for (const char* text : texts)
        block.append(text).push_back('\0');
    return block + '\0';
}

} // namespace

TEST(DeviceFixture, DeclaredModemIsFoundByClassWithItsPropertiesAndKeys)
{
    const DeviceDeclaration modem = Modem();
    {
        DeviceFixture fixture({modem});
        const SeenDevice seen = FindByClass(&MODEM_CLASS, DIGCF_PRESENT, modem.instanceId);
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.hardwareIds, MultiSz({"usb\\vid_1e0e&pid_9001&rev_0100&mi_02",
                                             "usb\\vid_1e0e&pid_9001&mi_02"}));
        EXPECT_EQ(seen.friendlyName, std::string("Torvik Wireless Modem") + '\0');
        EXPECT_EQ(seen.attachedTo, "COM7");
        EXPECT_EQ(seen.portName, "COM7");
    }
    EXPECT_FALSE(FindByClass(&MODEM_CLASS, DIGCF_PRESENT, modem.instanceId).found);
    EXPECT_FALSE(FindByClass(nullptr, DIGCF_ALLCLASSES, modem.instanceId).found);
}

TEST(DeviceFixture, RemovalLeavesNothingBehindIncludingADriverKeyAddedLater)
{
    const std::string classKey =
        std::string("System\\CurrentControlSet\\Control\\Class\\") + MODEM_CLASS_GUID;
    const bool classKeyExisted = KeyExists(classKey);
    DeviceDeclaration first = Modem();
    DeviceDeclaration second = Modem();
    second.instanceId = "USB\\VID_1E0E&PID_9001&MI_02\\6&2A1F&0&0009";
    second.driverIndex.clear(); // gets its driver key from the system, as a lookup may do
    std::string addedDriverKey;
    {
        DeviceFixture fixture({first, second});
        DeviceInfoSet set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
        SP_DEVINFO_DATA element = {sizeof element};
        ASSERT_TRUE(
            SetupDiOpenDeviceInfoA(set.get(), second.instanceId.c_str(), nullptr, 0, &element));
        RegKey created(SetupDiCreateDevRegKeyA(set.get(), &element, DICS_FLAG_GLOBAL, 0, DIREG_DRV,
                                               nullptr, nullptr));
        ASSERT_NE(created.get(), INVALID_HANDLE_VALUE);
        addedDriverKey = "System\\CurrentControlSet\\Control\\Class\\" +
                         ReadProperty(set.get(), element, SPDRP_DRIVER);
        addedDriverKey.pop_back(); // the NUL of the property
        ASSERT_TRUE(KeyExists(addedDriverKey));
    }
    EXPECT_FALSE(KeyExists("System\\CurrentControlSet\\Enum\\USB\\VID_1E0E&PID_9001&MI_02"));
    EXPECT_FALSE(KeyExists(DeviceDriverKeyPath(first)));
    EXPECT_FALSE(KeyExists(addedDriverKey));
    EXPECT_EQ(KeyExists(classKey), classKeyExisted);
}

TEST(DeviceFixture, RefusesADeviceThatExistsAlreadyAndKeepsTheFirst)
{
    const DeviceDeclaration modem = Modem();
    DeviceFixture fixture({modem});
    DeviceDeclaration other = Modem();
    other.instanceId = "ROOT\\PORTS\\0417";
    other.driverIndex = modem.driverIndex; // the same driver key
    EXPECT_THROW(DeviceFixture({other}), std::runtime_error);
    EXPECT_THROW(DeviceFixture({modem}), std::runtime_error);
    // All or nothing: a device installed before the refused one goes again.
    DeviceDeclaration fresh = Modem();
    fresh.instanceId = "USB\\VID_1E0E&PID_9001&MI_02\\6&2A1F&0&0008";
    fresh.driverIndex = "0418";
    EXPECT_THROW(DeviceFixture({fresh, modem}), std::runtime_error);

    EXPECT_TRUE(FindByClass(&MODEM_CLASS, 0, modem.instanceId).found);
    EXPECT_EQ(FindByClass(&MODEM_CLASS, 0, modem.instanceId).attachedTo, "COM7");
    EXPECT_FALSE(KeyExists(DeviceInstanceKeyPath(other)));
    EXPECT_FALSE(KeyExists(DeviceInstanceKeyPath(fresh)));
    EXPECT_FALSE(KeyExists(DeviceDriverKeyPath(fresh)));
}

TEST(DeviceDeclarations, LoadFromAnIniFileOneSectionPerDevice)
{
    TempFolder folder;
    WriteFileBytes(
        folder.File("world.ini"),
        "[USB\\VID_1E0E&PID_9001&MI_02\\6&2A1F&0&0002]\r\n"
        "HardwareID=usb\\vid_1e0e&pid_9001&rev_0100&mi_02,usb\\vid_1e0e&pid_9001&mi_02\r\n"
        "CompatibleIDs=usb\\class_ff&subclass_ff\r\n"
        "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n"
        "FriendlyName=Torvik Wireless Modem\r\n"
        "Driver=0417\r\n"
        "Driver\\AttachedTo=COM7\r\n"
        "Device Parameters\\PortName=COM7\r\n"
        "[USB\\VID_1E0E&PID_9001&MI_00\\6&2A1F&0&0000]\r\n"
        "HardwareID=usb\\vid_1e0e&pid_9001&mi_00\r\n"
        "ClassGUID={4D36E978-E325-11CE-BFC1-08002BE10318}\r\n"
        "Device Parameters\\PortName=COM9\r\n");

    std::vector<DeviceDeclaration> devices;
    std::string error;
    ASSERT_TRUE(LoadDeviceDeclarations(folder.File("world.ini"), devices, error)) << error;
    ASSERT_EQ(devices.size(), 2u);

    const DeviceDeclaration expected = Modem();
    EXPECT_EQ(devices[0].instanceId, expected.instanceId);
    EXPECT_EQ(devices[0].hardwareIds, expected.hardwareIds);
    EXPECT_EQ(devices[0].compatibleIds, expected.compatibleIds);
    EXPECT_EQ(devices[0].classGuid, expected.classGuid);
    EXPECT_EQ(devices[0].friendlyName, expected.friendlyName);
    EXPECT_EQ(devices[0].driverIndex, expected.driverIndex);
    EXPECT_EQ(devices[0].driverValues, expected.driverValues);
    EXPECT_EQ(devices[0].deviceParameters, expected.deviceParameters);

    EXPECT_EQ(devices[1].hardwareIds, std::vector<std::string>{"usb\\vid_1e0e&pid_9001&mi_00"});
    EXPECT_EQ(devices[1].classGuid, PORTS_CLASS_GUID);
    EXPECT_TRUE(devices[1].driverIndex.empty());
    EXPECT_EQ(devices[1].deviceParameters, (std::vector<RegistryText>{{"PortName", "COM9"}}));
}

TEST(DeviceDeclarations, RefuseAMissingFileAndAnUnknownKey)
{
    TempFolder folder;
    WriteFileBytes(folder.File("typo.ini"), "[ROOT\\MODEM\\0000]\r\nHardwareIDs=x\r\n");

    std::vector<DeviceDeclaration> devices;
    std::string error;
    EXPECT_FALSE(LoadDeviceDeclarations(folder.File("missing.ini"), devices, error));
    EXPECT_NE(error.find("missing.ini"), std::string::npos);
    EXPECT_FALSE(LoadDeviceDeclarations(folder.File("typo.ini"), devices, error));
    EXPECT_NE(error.find("HardwareIDs"), std::string::npos);
}

TEST(DevReg, InstallsAndRemovesTheDevicesOfAFileForScripts)
{
    TempFolder folder;
    const std::string file = folder.File("modem.ini");
    WriteFileBytes(file, "[USB\\VID_1E0E&PID_9001&MI_02\\6&2A1F&0&0002]\r\n"
                         "HardwareID=usb\\vid_1e0e&pid_9001&mi_02\r\n"
                         "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n"
                         "Driver=0417\r\n"
                         "Driver\\AttachedTo=COM7\r\n");
    const std::string devreg = "\"" + WindowsPathOf(DEVREG_PROGRAM) + "\" ";
    const std::string instanceId = Modem().instanceId;

    ASSERT_EQ(RunToExit(devreg + "install \"" + file + "\""), 0u);
    EXPECT_EQ(FindByClass(&MODEM_CLASS, DIGCF_PRESENT, instanceId).attachedTo, "COM7");
    EXPECT_EQ(RunToExit(devreg + "install \"" + file + "\""), 1u) << "the device exists already";
    EXPECT_EQ(FindByClass(&MODEM_CLASS, DIGCF_PRESENT, instanceId).attachedTo, "COM7");

    EXPECT_EQ(RunToExit(devreg + "remove \"" + file + "\""), 0u);
    EXPECT_FALSE(FindByClass(&MODEM_CLASS, DIGCF_PRESENT, instanceId).found);
    EXPECT_FALSE(KeyExists(DeviceDriverKeyPath(Modem())));

    EXPECT_EQ(RunToExit(devreg + "install \"" + folder.File("missing.ini") + "\""), 1u);
    EXPECT_EQ(RunToExit(devreg + "install"), 2u);
}
