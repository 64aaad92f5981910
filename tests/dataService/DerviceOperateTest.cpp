#include "DerviceOperate.h"
#include "DeviceFixture.h"
#include "Handles.h"
#include "ModuleDir.h"
#include "ScopedRegistryValue.h"
#include "TestFiles.h"
#include "TestProcess.h"
#include "Trace.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>

namespace
{

const char SOURCE[] = "dataService\\DerviceOperate.cpp";
const char VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

const char MODEM_ID[] = "usb\\vid_1e0e&pid_9001&mi_00";
const char PORT_ID[] = "usb\\vid_1e0e&pid_9001&mi_01";
const char TWIN_ID[] = "usb\\vid_1e0e&pid_9001&mi_03";
const char NO_DRIVER_ID[] = "usb\\vid_1e0e&pid_9001&mi_04";
const char NO_PORTNAME_ID[] = "usb\\vid_1e0e&pid_9001&mi_05";
const char OVERSIZE_ID[] = "usb\\vid_1e0e&pid_9001&mi_06";
const char NOBODY_ID[] = "usb\\vid_1e0e&pid_9001&mi_09";
const char USB_ID_TEXT[] = "usb\\vid_1e0e&pid_9001";

DeviceDeclaration Modem(const char* attachedTo)
{
    DeviceDeclaration modem;
    modem.instanceId = "USB\\VID_1E0E&PID_9001&MI_00\\6&2A1F&0&0000";
    modem.hardwareIds = {"usb\\vid_1e0e&pid_9001&rev_0100&mi_00", MODEM_ID};
    modem.classGuid = MODEM_CLASS_GUID;
    modem.friendlyName = "Torvik Wireless Modem";
    modem.driverIndex = "0417";
    modem.driverValues = {{"AttachedTo", attachedTo}};
    return modem;
}

DeviceDeclaration SerialPort(const char* portName)
{
    DeviceDeclaration port;
    port.instanceId = "USB\\VID_1E0E&PID_9001&MI_01\\6&2A1F&0&0001";
    port.hardwareIds = {"USB\\VID_1E0E&PID_9001&REV_0100&MI_01", PORT_ID};
    port.classGuid = PORTS_CLASS_GUID;
    port.friendlyName = "Torvik Diagnostics Port";
    port.deviceParameters = {{"PortName", portName}};
    return port;
}

DeviceDeclaration Twin(const char* instance, const char* driverIndex, const char* portName)
{
    DeviceDeclaration twin;
    twin.instanceId = std::string("USB\\VID_1E0E&PID_9001&MI_03\\") + instance;
    twin.hardwareIds = {TWIN_ID};
    twin.classGuid = USB_CLASS_GUID;
    twin.driverIndex = driverIndex;
    twin.driverValues = {{"AttachedTo", portName}};
    twin.deviceParameters = {{"PortName", portName}};
    return twin;
}

// The devices every test here may meet, besides the modem and its port.
std::vector<DeviceDeclaration> Neighbours()
{
    DeviceDeclaration noDriver;
    noDriver.instanceId = "USB\\VID_1E0E&PID_9001&MI_04\\6&2A1F&0&0004";
    noDriver.hardwareIds = {NO_DRIVER_ID};
    noDriver.classGuid = MODEM_CLASS_GUID;

    DeviceDeclaration noPortName;
    noPortName.instanceId = "USB\\VID_1E0E&PID_9001&MI_05\\6&2A1F&0&0005";
    noPortName.hardwareIds = {NO_PORTNAME_ID};
    noPortName.classGuid = PORTS_CLASS_GUID;

    // The id sits inside a list of more than 512 bytes, which is never examined.
    DeviceDeclaration oversize;
    oversize.instanceId = "USB\\VID_1E0E&PID_9001&MI_06\\6&2A1F&0&0006";
    oversize.hardwareIds = {OVERSIZE_ID, "usb\\" + std::string(500, 'x')};
    oversize.classGuid = PORTS_CLASS_GUID;
    oversize.driverIndex = "0406";
    oversize.driverValues = {{"AttachedTo", "COM16"}};
    oversize.deviceParameters = {{"PortName", "COM16"}};

    return {Twin("2&0", "0411", "COM11"), Twin("2&1", "0412", "COM12"), noDriver, noPortName,
            oversize};
}

std::vector<DeviceDeclaration> World(const char* attachedTo, const char* portName)
{
    std::vector<DeviceDeclaration> devices = Neighbours();
    devices.push_back(Modem(attachedTo));
    devices.push_back(SerialPort(portName));
    return devices;
}

std::string ReadDriverValue(const DeviceDeclaration& device, const char* name)
{
    RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DeviceDriverKeyPath(device).c_str(), 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS)
        return "<no driver key>";
    char text[256] = {};
    DWORD size = sizeof text - 1;
    if (RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
        ERROR_SUCCESS)
        return "<no value>";
    return text;
}

std::string ReadInstanceValue(const DeviceDeclaration& device, const char* name)
{
    RegKey key;
    char text[256] = {};
    DWORD size = sizeof text - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, DeviceInstanceKeyPath(device).c_str(), 0, KEY_READ,
                      key.receive()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS)
        return "<no value>";
    return text;
}

// The messages of the records from this program's device operations, in order.
std::vector<std::string> DeviceMessages(const TraceCapture& viewer)
{
    std::vector<std::string> messages;
    for (const CapturedTrace& record : viewer.Records())
    {
        if (record.fields.source == SOURCE || record.fields.source == "standin\\setup.exe")
            messages.push_back(record.fields.message);
    }
    return messages;
}

std::size_t CountRecords(const TraceCapture& viewer, const std::string& message,
                         unsigned long level)
{
    std::size_t count = 0;
    for (const CapturedTrace& record : viewer.Records())
    {
        if (record.fields.message == message && record.level == level &&
            record.fields.source == SOURCE && record.fields.module == TRACE_MODULE)
            ++count;
    }
    return count;
}

// The registry texts GetOSType reads.
class WindowsVersionScope
{
public:
    WindowsVersionScope()
        : m_version(HKEY_LOCAL_MACHINE, VERSION_KEY, "CurrentVersion"),
          m_label(HKEY_LOCAL_MACHINE, VERSION_KEY, "BuildLabEx")
    {
    }
    void Set(const std::optional<std::string>& version, const std::optional<std::string>& label)
    {
        m_version.Set(version);
        m_label.Set(label);
    }

private:
    ScopedRegistryValue m_version;
    ScopedRegistryValue m_label;
};

const char LABEL_X86[] = "7601.17514.x86fre.win7sp1_rtm.101119-1850";
const char LABEL_AMD64[] = "7601.17514.amd64fre.win7sp1_rtm.101119-1850";

// Tests of the lookups and of the driver operations run as a Windows 2000 system,
// where every operation runs its full sequence.
class DeviceOperations : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_version.Set(std::string("5.0"), std::nullopt);
        ASSERT_EQ(DerviceOperate::GetOSType(), OS_WIN2K);
    }

    DerviceOperate& m_device = DerviceOperate::Instance();
    WindowsVersionScope m_version;
};

} // namespace

TEST(OSType, ClassifiesTheRegistryVersionAndKeepsTheValueItCannotClassify)
{
    WindowsVersionScope version;
    const std::string longLabel = std::string(LABEL_X86) + std::string(260, 'x');
    const struct
    {
        std::optional<std::string> currentVersion;
        std::optional<std::string> buildLabel;
        int expected; // -1: the previous value stays
    } cases[] = {
        {"5.0", std::nullopt, OS_WIN2K},
        {"5.0", std::string(LABEL_AMD64), OS_WIN2K},
        {"5.1", std::nullopt, OS_WINXP},
        {"5.2", std::nullopt, OS_WINXP},
        {"6.1", std::string(LABEL_X86), OS_VISTA_X86},
        {"6.1", std::string(LABEL_AMD64), OS_VISTA_AMD64},
        {"6.0", std::string("6002.18005.AMD64FRE.LONGHORN_RTM.090410-1830"), OS_VISTA_AMD64},
        {"10.0", std::string("19041.1.amd64fre.vb_release.191206-1406"), OS_VISTA_AMD64},
        {"6.1", std::string("7601.17514.ia64fre.win7sp1_rtm"), -1},
        {"6.1", std::nullopt, -1},
        {"6.1", longLabel, -1},
        {"4.0", std::nullopt, -1},
        {"", std::string(LABEL_X86), -1},
        {std::nullopt, std::string(LABEL_X86), -1},
    };
    // Each case runs after each of two different previous values.
    const struct
    {
        const char* version;
        int type;
    } previous[] = {{"5.0", OS_WIN2K}, {"5.1", OS_WINXP}};

    for (const auto& c : cases)
    {
        for (const auto& before : previous)
        {
            version.Set(std::string(before.version), std::nullopt);
            ASSERT_EQ(DerviceOperate::GetOSType(), before.type);
            version.Set(c.currentVersion, c.buildLabel);
            EXPECT_EQ(DerviceOperate::GetOSType(), c.expected < 0 ? before.type : c.expected)
                << "version " << c.currentVersion.value_or("(none)") << ", label "
                << c.buildLabel.value_or("(none)") << ", previously " << before.type;
        }
    }
}

TEST_F(DeviceOperations, FindCommPortNumbyIDReadsThePortNameOfTheFirstDeviceBearingTheId)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;

    // The twins' order is the one the device installation interface enumerates.
    std::string firstTwinPort;
    {
        DeviceInfoSet set(
            SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
        SP_DEVINFO_DATA element = {sizeof element};
        for (DWORD i = 0; firstTwinPort.empty() && SetupDiEnumDeviceInfo(set.get(), i, &element);
             ++i)
        {
            char id[256] = {};
            SetupDiGetDeviceInstanceIdA(set.get(), &element, id, sizeof id, nullptr);
            for (const DeviceDeclaration& twin :
                 {Twin("2&0", "0411", "COM11"), Twin("2&1", "0412", "COM12")})
            {
                if (lstrcmpiA(id, twin.instanceId.c_str()) == 0)
                    firstTwinPort = twin.deviceParameters[0].second;
            }
        }
    }
    ASSERT_FALSE(firstTwinPort.empty());

    const struct
    {
        const char* what;
        const char* id;
        const char* port; // nullptr: not found
    } cases[] = {
        {"second entry of a Ports device", PORT_ID, "COM5"},
        {"device of another class", TWIN_ID, firstTwinPort.c_str()},
        {"upper-case id", "USB\\VID_1E0E&PID_9001&MI_01", nullptr},
        {"prefix of an id", "usb\\vid_1e0e&pid_9001", nullptr},
        {"empty id", "", nullptr},
        {"list beyond 512 bytes", OVERSIZE_ID, nullptr},
        {"no device", NOBODY_ID, nullptr},
    };
    for (const auto& c : cases)
    {
        viewer.Clear();
        std::string port = "unchanged";
        EXPECT_EQ(m_device.FindCommPortNumbyID(c.id, port), c.port != nullptr ? TRUE : FALSE)
            << c.what;
        EXPECT_EQ(port, c.port != nullptr ? c.port : "unchanged") << c.what;
        // A found port is traced as it is; a search that finds nothing is silent.
        const std::vector<std::string> expected =
            c.port != nullptr ? std::vector<std::string>{c.port} : std::vector<std::string>{};
        EXPECT_EQ(DeviceMessages(viewer), expected) << c.what;
        EXPECT_EQ(CountRecords(viewer, c.port != nullptr ? c.port : "", TRACE_PROGRESS),
                  expected.size())
            << c.what;
    }
}

TEST_F(DeviceOperations, FindCommPortNumbyIDTracesANullIdAndAMissingPortName)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    std::string port = "unchanged";

    EXPECT_FALSE(m_device.FindCommPortNumbyID(nullptr, port));
    EXPECT_EQ(CountRecords(viewer, "DerviceOperate::FindCommPortNumbyID pstHardwareID IS NULL ",
                           TRACE_SYSTEM_FAIL),
              1u);
    EXPECT_FALSE(m_device.FindCommPortNumbyID(NO_PORTNAME_ID, port));
    EXPECT_EQ(CountRecords(viewer, "DerviceOperate::FindCommPortNumbyID RegQueryValueEx failed",
                           TRACE_SYSTEM_FAIL),
              1u);
    EXPECT_EQ(port, "unchanged");
    EXPECT_EQ(DeviceMessages(viewer).size(), 2u);
}

TEST_F(DeviceOperations, FindModemPortNumbyIDReadsTheAttachedPort)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    std::string port = "unchanged";

    ASSERT_TRUE(m_device.FindModemPortNumbyID(MODEM_ID, port));
    EXPECT_EQ(port, "COM7");
    EXPECT_EQ(DeviceMessages(viewer),
              (std::vector<std::string>{"DerviceOperate::FindModemPortNumbyID  found Modem!",
                                        "DerviceOperate::GetModemPort Start ...",
                                        "DerviceOperate::GetModemPort END ...and return TRUE"}));
    EXPECT_EQ(CountRecords(viewer, "DerviceOperate::GetModemPort Start ...", TRACE_PROGRESS), 1u);

    // Neither a null id, an empty one nor an unknown one finds a device or traces.
    viewer.Clear();
    port = "unchanged";
    EXPECT_FALSE(m_device.FindModemPortNumbyID(nullptr, port));
    EXPECT_FALSE(m_device.FindModemPortNumbyID("", port));
    EXPECT_FALSE(m_device.FindModemPortNumbyID(NOBODY_ID, port));
    EXPECT_FALSE(m_device.FindModemPortNumbyID(OVERSIZE_ID, port));
    EXPECT_EQ(port, "unchanged");
    EXPECT_TRUE(DeviceMessages(viewer).empty());
}

TEST_F(DeviceOperations, FindModemPortNumbyIDGivesAModemWithoutDriverKeyOneAndAnEmptyPort)
{
    DeviceFixture devices(World("COM7", "COM5"));
    const DeviceDeclaration& noDriver = devices.Devices()[2];
    ASSERT_EQ(noDriver.hardwareIds[0], NO_DRIVER_ID);

    std::string port = "unchanged";
    EXPECT_FALSE(m_device.FindModemPortNumbyID("", port));
    EXPECT_EQ(ReadInstanceValue(noDriver, "Driver"), "<no value>") << "an empty id creates nothing";

    ASSERT_TRUE(m_device.FindModemPortNumbyID(NO_DRIVER_ID, port));
    EXPECT_EQ(port, "");
    const std::string driver = ReadInstanceValue(noDriver, "Driver");
    EXPECT_EQ(driver.rfind(MODEM_CLASS_GUID, 0), 0u) << driver;
}

TEST_F(DeviceOperations, DriverSwitchingOffersEveryMatchingDeviceTheChange)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    using Operation = BOOL (DerviceOperate::*)(const char*, int*);
    const struct
    {
        Operation operation;
        const char* failure;
    } operations[] = {
        {&DerviceOperate::DisableDeviceDriver, "DerviceOperate::DisableDeviceDriver failed!"},
        {&DerviceOperate::EnableDeviceDriver, "DerviceOperate::EnableDeviceDriver failed!"},
    };
    const struct
    {
        const char* what;
        const char* id;
        BOOL result;
        int code;             // 42: left unchanged
        std::size_t requests; // devices offered the change (each refused under Wine)
    } cases[] = {
        {"two devices", TWIN_ID, TRUE, DEVICE_OK, 2},
        {"second entry", MODEM_ID, TRUE, DEVICE_OK, 1},
        {"no device", NOBODY_ID, FALSE, 42, 0},
        {"upper-case id", "USB\\VID_1E0E&PID_9001&MI_00", FALSE, 42, 0},
        {"list beyond 512 bytes", OVERSIZE_ID, FALSE, 42, 0},
        {"empty id", "", FALSE, 42, 0},
        {"null id", nullptr, FALSE, DEVICE_ID_NULL, 0},
    };
    for (const auto& operation : operations)
    {
        for (const auto& c : cases)
        {
            viewer.Clear();
            int code = 42;
            EXPECT_EQ((m_device.*operation.operation)(c.id, &code), c.result)
                << operation.failure << " " << c.what;
            EXPECT_EQ(code, c.code) << operation.failure << " " << c.what;
            EXPECT_EQ(CountRecords(viewer, operation.failure, TRACE_PROGRAM_FAIL), c.requests)
                << operation.failure << " " << c.what;
            EXPECT_EQ(DeviceMessages(viewer).size(), c.requests) << c.what;
        }
    }
    // The calls go through the interface too, as the data service makes them.
    IDeviceOperate& operate = m_device;
    int code = 42;
    EXPECT_TRUE(operate.DisableDeviceDriver(TWIN_ID, &code));
    EXPECT_TRUE(operate.EnableDeviceDriver(TWIN_ID, &code));
    EXPECT_EQ(code, DEVICE_OK);
}

TEST_F(DeviceOperations, ResetModemPortNameRewritesThePortBetweenDisableAndEnable)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    const struct
    {
        const char* what;
        const char* id;
        BOOL result;
        int code;
        std::vector<std::string> messages;
    } cases[] = {
        {"modem",
         MODEM_ID,
         TRUE,
         DEVICE_OK,
         {"DerviceOperate::DisableDeviceDriver failed!", "DerviceOperate::RegisterModem Start ...",
          "DerviceOperate::RegisterModem END ...and return TRUE",
          "DerviceOperate::EnableDeviceDriver failed!"}},
        {"no device to switch off",
         NOBODY_ID,
         FALSE,
         DEVICE_DISABLE_FAILED,
         {"DerviceOperate::ResetModemPortName DisableDeviceDriver() Failed! "}},
    };
    for (const auto& c : cases)
    {
        viewer.Clear();
        int code = 42;
        EXPECT_EQ(m_device.ResetModemPortName(c.id, "COM9", &code), c.result) << c.what;
        EXPECT_EQ(code, c.code) << c.what;
        EXPECT_EQ(DeviceMessages(viewer), c.messages) << c.what;
    }
    EXPECT_EQ(CountRecords(viewer,
                           "DerviceOperate::ResetModemPortName DisableDeviceDriver() Failed! ",
                           TRACE_SYSTEM_FAIL),
              1u);
    EXPECT_EQ(ReadDriverValue(devices.Devices()[5], "AttachedTo"), "COM9");

    // A modem without driver key gets one with the port.
    int code = 42;
    ASSERT_TRUE(m_device.ResetModemPortName(NO_DRIVER_ID, "COM10", &code));
    DeviceDeclaration noDriver = devices.Devices()[2];
    const std::string driver = ReadInstanceValue(noDriver, "Driver");
    noDriver.driverIndex = driver.substr(driver.rfind('\\') + 1);
    EXPECT_EQ(ReadDriverValue(noDriver, "AttachedTo"), "COM10");
}

TEST_F(DeviceOperations, InitModemRefusesMissingAndOversizedIdsBeforeAnyLookup)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    int code = 42;
    // Known stored ids, to see that a refused call leaves them alone.
    ASSERT_FALSE(m_device.InitModem(NOBODY_ID, NOBODY_ID, &code));
    ASSERT_STREQ(m_device.GetModemHardwareID(), NOBODY_ID);

    const std::string id256(256, 'a');
    const std::string id300 = "usb\\" + std::string(296, 'b');
    const struct
    {
        const char* what;
        const char* modem;
        const char* port;
        const char* refusal; // the trace besides the start record, if any
    } cases[] = {
        {"null port id", MODEM_ID, nullptr, nullptr},
        {"null modem id", nullptr, PORT_ID, nullptr},
        {"modem id of 256 characters", id256.c_str(), PORT_ID,
         "DerviceOperate::InitModem hardware id too long"},
        {"port id of 300 characters", MODEM_ID, id300.c_str(),
         "DerviceOperate::InitModem hardware id too long"},
    };
    for (const auto& c : cases)
    {
        viewer.Clear();
        code = 42;
        EXPECT_FALSE(m_device.InitModem(c.modem, c.port, &code)) << c.what;
        EXPECT_EQ(code, DEVICE_ID_NULL) << c.what;
        EXPECT_STREQ(m_device.GetModemHardwareID(), NOBODY_ID) << c.what;
        EXPECT_STREQ(m_device.GetUSBPortHardwareID(), NOBODY_ID) << c.what;
        const std::vector<std::string> messages = DeviceMessages(viewer);
        ASSERT_EQ(messages.size(), c.refusal != nullptr ? 2u : 1u) << c.what;
        EXPECT_EQ(messages[0].rfind("DerviceOperate::InitModem pstModemHardwareID = <", 0), 0u);
        if (c.refusal != nullptr)
        {
            EXPECT_EQ(CountRecords(viewer, c.refusal, TRACE_PROGRAM_FAIL), 1u) << c.what;
        }
    }
    EXPECT_EQ(CountRecords(viewer,
                           "DerviceOperate::InitModem pstModemHardwareID = <usb\\vid_1e0e&pid_9001&"
                           "mi_00>,pstUSBPortHardwareID = <" +
                               id300 + ">",
                           TRACE_PROGRESS),
              1u);

    // 255 characters fit: stored whole, then the lookups run.
    const std::string id255(255, 'c');
    EXPECT_FALSE(m_device.InitModem(id255.c_str(), PORT_ID, &code));
    EXPECT_EQ(code, DEVICE_NO_MODEM);
    EXPECT_EQ(m_device.GetModemHardwareID(), id255);
    EXPECT_STREQ(m_device.GetUSBPortHardwareID(), PORT_ID);
}

TEST_F(DeviceOperations, InitModemReportsWhichDeviceIsMissing)
{
    DeviceFixture devices(World("COM7", "COM5"));
    TraceCapture viewer;
    int code = 42;

    EXPECT_FALSE(m_device.InitModem(MODEM_ID, NOBODY_ID, &code));
    EXPECT_EQ(code, DEVICE_NO_USB_PORT);
    EXPECT_EQ(CountRecords(viewer, "DerviceOperate::InitModem FindCommPortNumbyID failed",
                           TRACE_PROGRAM_FAIL),
              1u);
    EXPECT_STREQ(m_device.GetModemHardwareID(), MODEM_ID);
    EXPECT_STREQ(m_device.GetUSBPortHardwareID(), NOBODY_ID);

    EXPECT_FALSE(m_device.InitModem(NOBODY_ID, PORT_ID, &code));
    EXPECT_EQ(code, DEVICE_NO_MODEM);
    EXPECT_STREQ(m_device.GetModemHardwareID(), NOBODY_ID);
}

TEST_F(DeviceOperations, InitModemResetsOnlyAPortThatDiffersAndThenWaitsTenSeconds)
{
    const std::string start =
        "DerviceOperate::InitModem pstModemHardwareID = <usb\\vid_1e0e&pid_9001&mi_00>,"
        "pstUSBPortHardwareID = <usb\\vid_1e0e&pid_9001&mi_01>";
    const std::vector<std::string> lookups = {
        start, "COM5", "DerviceOperate::FindModemPortNumbyID  found Modem!",
        "DerviceOperate::GetModemPort Start ...",
        "DerviceOperate::GetModemPort END ...and return TRUE"};
    std::vector<std::string> reset = lookups;
    reset.insert(reset.end(), {"DerviceOperate::DisableDeviceDriver failed!",
                               "DerviceOperate::RegisterModem Start ...",
                               "DerviceOperate::RegisterModem END ...and return TRUE",
                               "DerviceOperate::EnableDeviceDriver failed!"});
    const struct
    {
        const char* attachedTo;
        ULONGLONG fromMs; // the time the call takes lies in [fromMs, belowMs)
        ULONGLONG belowMs;
        std::size_t switches; // each class-installer request, refused under Wine
        std::vector<std::string> messages;
    } cases[] = {
        {"COM5", 0, 8000, 0, lookups},    // the right port: nothing changes, no wait
        {"com5", 10000, 20000, 1, reset}, // the comparison is case-sensitive
    };
    for (const auto& c : cases)
    {
        DeviceFixture devices(World(c.attachedTo, "COM5"));
        TraceCapture viewer;
        int code = 42;

        const ULONGLONG begin = GetTickCount64();
        EXPECT_TRUE(m_device.InitModem(MODEM_ID, PORT_ID, &code)) << c.attachedTo;
        const ULONGLONG elapsed = GetTickCount64() - begin;
        EXPECT_GE(elapsed, c.fromMs) << c.attachedTo;
        EXPECT_LT(elapsed, c.belowMs) << c.attachedTo;
        EXPECT_EQ(code, DEVICE_OK) << c.attachedTo;
        EXPECT_EQ(ReadDriverValue(devices.Devices()[5], "AttachedTo"), "COM5") << c.attachedTo;
        EXPECT_EQ(DeviceMessages(viewer), c.messages) << c.attachedTo;
        for (const char* failure : {"DerviceOperate::DisableDeviceDriver failed!",
                                    "DerviceOperate::EnableDeviceDriver failed!"})
            EXPECT_EQ(CountRecords(viewer, failure, TRACE_PROGRAM_FAIL), c.switches)
                << c.attachedTo << " " << failure;
    }
}

namespace
{

const char PROBE[] = "device_probe.exe";

// A client folder with a blank in its name: the probe program, optionally the
// stand-in setup.exe and the text table beside it, and a decoy "Torvik.exe" in the
// parent folder that an unquoted "...\Torvik Client\setup.exe" command line would
// start instead. Everything goes with the object.
class ClientFolder
{
public:
    explicit ClientFolder(bool withSetup)
    {
        m_client = m_parent.Path() + "Torvik Client\\";
        CreateDirectoryA(m_client.c_str(), nullptr);
        Copy(PROBE, m_client + PROBE);
        if (withSetup)
            Copy("setup.exe", m_client + "setup.exe");
        Copy("setup.exe", m_parent.File("Torvik.exe"));
        WriteFileBytes(m_client + "sysrest.dat", std::string("[RXIDS_USBHardWareID_Name]\r\n"
                                                             "VALUE=") +
                                                     USB_ID_TEXT + "\r\n");
    }
    ~ClientFolder()
    {
        for (const char* name : {PROBE, "setup.exe", "sysrest.dat", "probe-result.txt"})
            RemoveFile(m_client + name);
        RemoveDirectoryA(m_client.c_str());
    }
    ClientFolder(const ClientFolder&) = delete;
    ClientFolder& operator=(const ClientFolder&) = delete;

    // The folder without its trailing backslash, as the program sees its own.
    std::string Path() const { return m_client.substr(0, m_client.size() - 1); }

    // Runs the probe with the arguments and gives the lines it wrote.
    std::map<std::string, std::string> Run(const std::vector<std::string>& arguments) const
    {
        std::map<std::string, std::string> result;
        RemoveFile(m_client + "probe-result.txt");
        std::string commandLine = "\"" + m_client + PROBE + "\"";
        for (const std::string& argument : arguments)
            commandLine += " \"" + argument + "\"";
        if (RunToExit(commandLine) != 0)
            return result;
        std::istringstream lines(ReadFileBytes(m_client + "probe-result.txt"));
        for (std::string line; std::getline(lines, line);)
        {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos)
                result[line.substr(0, equals)] = line.substr(equals + 1);
        }
        return result;
    }

private:
    static void Copy(const char* built, const std::string& target)
    {
        CopyFileA((GetModuleDir() + built).c_str(), target.c_str(), FALSE);
    }

    TempFolder m_parent;
    std::string m_client;
};

// The version Windows reports to the probe program ("win98", "win2k"; empty: the
// prefix's own).
class ReportedVersionScope
{
public:
    explicit ReportedVersionScope(const char* version)
        : m_text(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + PROBE, "Version")
    {
        m_text.Set(*version != '\0' ? std::optional<std::string>(version) : std::nullopt);
    }

private:
    ScopedRegistryValue m_text;
};

std::vector<std::string> SetupCalls(const TraceCapture& viewer)
{
    std::vector<std::string> calls;
    for (const CapturedTrace& record : viewer.Records())
    {
        if (record.fields.source == "standin\\setup.exe")
            calls.push_back(record.fields.message);
    }
    return calls;
}

} // namespace

TEST(OSType, AVersionBelowFiveGivesWindows98WithoutTheRegistry)
{
    ClientFolder client(false);
    WindowsVersionScope version;
    version.Set(std::string("5.1"), std::nullopt);
    const struct
    {
        const char* reported;
        const char* registry;
        const char* expected;
    } cases[] = {
        {"win98", "5.1", "0"},
        {"win2k", "5.1", "2"}, // major version 5 goes on to the registry
        {"", "6.1", "1"},      // nothing classifies: the starting value
    };
    for (const auto& c : cases)
    {
        ReportedVersionScope reported(c.reported);
        version.Set(std::string(c.registry), std::nullopt);
        EXPECT_EQ(client.Run({"ostype"})["ostype"], c.expected) << c.reported;
    }
}

TEST(RunSetupProgram, StartsTheFoldersSetupWithAQuotedPathAndWaitsForIt)
{
    ClientFolder client(true);
    TraceCapture viewer;

    EXPECT_EQ(client.Run({"runsetup", "/enable usb\\vid_1e0e&pid_9001&mi_00"})["result"], "1");
    // The record arrived before the probe ended, so the probe waited for setup.exe.
    EXPECT_EQ(SetupCalls(viewer), (std::vector<std::string>{"\"" + client.Path() +
                                                            "\\setup.exe\" /enable "
                                                            "usb\\vid_1e0e&pid_9001&mi_00"}));

    ClientFolder withoutSetup(false);
    viewer.Clear();
    EXPECT_EQ(withoutSetup.Run({"runsetup", "/enable x"})["result"], "0");
    EXPECT_TRUE(SetupCalls(viewer).empty()) << "no other program was started";
}

TEST(ResetModemPortName, OnA64BitSystemAlsoRunsSetupAfterEachClassInstallerCall)
{
    WindowsVersionScope version;
    version.Set(std::string("6.1"), std::string(LABEL_AMD64));
    for (const bool withSetup : {true, false})
    {
        DeviceFixture devices(World("COM7", "COM5"));
        ClientFolder client(withSetup);
        TraceCapture viewer;

        std::map<std::string, std::string> result = client.Run({"reset", MODEM_ID, "COM9"});
        EXPECT_EQ(result["result"], "1") << "setup.exe present: " << withSetup;
        EXPECT_EQ(result["code"], "0");
        EXPECT_EQ(ReadDriverValue(devices.Devices()[5], "AttachedTo"), "COM9");

        const std::string setup = "\"" + client.Path() + "\\setup.exe\" ";
        std::vector<std::string> expected = {"DerviceOperate::DisableDeviceDriver failed!",
                                             setup + "/disable " + MODEM_ID,
                                             "DerviceOperate::RegisterModem Start ...",
                                             "DerviceOperate::RegisterModem END ...and return TRUE",
                                             "DerviceOperate::EnableDeviceDriver failed!",
                                             setup + "/enable " + MODEM_ID};
        if (!withSetup)
            expected = {expected[0], expected[2], expected[3], expected[4]};
        EXPECT_EQ(DeviceMessages(viewer), expected);
    }
}

TEST(InitModem, OnWindows98RewritesThePortWithoutModemLookupOrDriverSwitching)
{
    DeviceFixture devices(World("COM7", "COM5"));
    ClientFolder client(true);
    ReportedVersionScope reported("win98");
    TraceCapture viewer;

    const ULONGLONG start = GetTickCount64();
    std::map<std::string, std::string> result = client.Run({"initmodem", MODEM_ID, PORT_ID});
    EXPECT_LT(GetTickCount64() - start, 8000u) << "no settling wait on Windows 98";
    EXPECT_EQ(result["result"], "1");
    EXPECT_EQ(result["code"], "0");
    EXPECT_EQ(result["modem"], MODEM_ID);
    EXPECT_EQ(result["usbport"], PORT_ID);
    EXPECT_EQ(result["usb"], USB_ID_TEXT);
    EXPECT_EQ(ReadDriverValue(devices.Devices()[5], "AttachedTo"), "COM5");
    EXPECT_EQ(DeviceMessages(viewer),
              (std::vector<std::string>{
                  "DerviceOperate::InitModem pstModemHardwareID = <usb\\vid_1e0e&pid_9001&mi_00>,"
                  "pstUSBPortHardwareID = <usb\\vid_1e0e&pid_9001&mi_01>",
                  "COM5", "DerviceOperate::RegisterModem Start ...",
                  "DerviceOperate::RegisterModem END ...and return TRUE"}));

    // Without a modem to rewrite, the port is not written: code 7.
    viewer.Clear();
    result = client.Run({"initmodem", NOBODY_ID, PORT_ID});
    EXPECT_EQ(result["result"], "0");
    EXPECT_EQ(result["code"], "7");
    EXPECT_EQ(CountRecords(viewer, "DerviceOperate::ResetModemPortName SetModemPortName() Failed! ",
                           TRACE_SYSTEM_FAIL),
              1u);
}
