#include "DerviceOperate.h"

#include "Handles.h"
#include "ModuleDir.h"
#include "ResourceManager.h"
#include "Trace.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

const char TRACE_SOURCE[] = "dataService\\DerviceOperate.cpp";
const char VERSION_KEY[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char USB_HARDWARE_ID_KEY[] = "RXIDS_USBHardWareID_Name";

// After a rewritten port the system re-enumerates the modem; callers go on only
// when it has had the time to do so.
const DWORD RESET_SETTLE_MS = 10000;

// The process-wide OS type; only GetOSType changes it.
int g_nOSType = OS_WIN2K;

static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20, "the property-change request is 20 bytes");

void SetErrorCode(int* pnErrorCode, int nCode)
{
    if (pnErrorCode != nullptr)
        *pnErrorCode = nCode;
}

// The text of a resource string that names a hardware id.
std::string ReadHardwareIdText(const char* key)
{
    return ResourceManager::Instance().GetString(key);
}

// A text value of at most DEVICE_TEXT_SIZE bytes; false when it is missing or longer.
bool ReadRegistryText(HKEY key, const char* name, std::string& text)
{
    char buffer[DEVICE_TEXT_SIZE + 1] = {}; // one byte more keeps a full value terminated
    DWORD size = DEVICE_TEXT_SIZE;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    text = buffer;
    return true;
}

RegKey AsRegKey(HKEY key)
{
    return RegKey(key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE) ? nullptr : key);
}

RegKey OpenDeviceKey(HDEVINFO set, SP_DEVINFO_DATA* element, DWORD keyType, REGSAM access)
{
    return AsRegKey(SetupDiOpenDevRegKey(set, element, DICS_FLAG_GLOBAL, 0, keyType, access));
}

// The device's driver key, created when the device has none yet.
RegKey OpenOrCreateDriverKey(HDEVINFO set, SP_DEVINFO_DATA* element)
{
    RegKey key = OpenDeviceKey(set, element, DIREG_DRV, KEY_ALL_ACCESS);
    if (key || GetLastError() != static_cast<DWORD>(ERROR_KEY_DOES_NOT_EXIST))
        return key;
    return AsRegKey(
        SetupDiCreateDevRegKeyA(set, element, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr));
}

// How many entries of the device's hardware-id list equal the id; a list that does
// not fit its buffer, or cannot be read, counts as none.
std::size_t CountIdEntries(HDEVINFO set, SP_DEVINFO_DATA& element, const char* id)
{
    char list[HARDWARE_ID_LIST_SIZE] = {};
    DWORD size = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(set, &element, SPDRP_HARDWAREID, nullptr,
                                           reinterpret_cast<BYTE*>(list), sizeof list, &size))
        return 0;
    return CountMatchingHardwareIds(list, std::min<std::size_t>(size, sizeof list), id);
}

bool FindFirstDeviceWithId(HDEVINFO set, const char* id, SP_DEVINFO_DATA& element)
{
    element = {};
    element.cbSize = sizeof element;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set, index, &element); ++index)
    {
        if (CountIdEntries(set, element, id) > 0)
            return true;
    }
    return false;
}

DeviceInfoSet PresentDevicesOfAllClasses()
{
    return DeviceInfoSet(
        SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
}

// The first present device of any class bearing the id, in a set of its own.
bool FindFirstPresentDevice(const char* id, DeviceInfoSet& set, SP_DEVINFO_DATA& element)
{
    if (id == nullptr)
        return false;
    set = PresentDevicesOfAllClasses();
    return set && FindFirstDeviceWithId(set.get(), id, element);
}

bool RequestStateChange(HDEVINFO set, SP_DEVINFO_DATA& element, DWORD stateChange)
{
    SP_PROPCHANGE_PARAMS request = {};
    request.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
    request.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
    request.StateChange = stateChange;
    request.Scope = DICS_FLAG_CONFIGSPECIFIC;
    request.HwProfile = 0;
    return SetupDiSetClassInstallParamsA(set, &element, &request.ClassInstallHeader,
                                         sizeof request) &&
           SetupDiCallClassInstaller(DIF_PROPERTYCHANGE, set, &element);
}

bool CopyHardwareId(const char* id, char (&field)[DEVICE_TEXT_SIZE])
{
    const std::size_t length = std::strlen(id);
    if (length >= DEVICE_TEXT_SIZE)
        return false;
    std::memcpy(field, id, length + 1);
    return true;
}

} // namespace

// Switching the modem's driver off and on around a rewritten port differs only in
// these.
struct DerviceOperate::DriverSwitch
{
    BOOL (IDeviceOperate::*operation)(const char*, int*);
    const char* failure;
    int nFailureCode;
    const char* verb; // the setup program's argument before the id
};

const DerviceOperate::DriverSwitch DerviceOperate::SWITCH_OFF = {
    &IDeviceOperate::DisableDeviceDriver,
    "DerviceOperate::ResetModemPortName DisableDeviceDriver() Failed! ", DEVICE_DISABLE_FAILED,
    "/disable "};
const DerviceOperate::DriverSwitch DerviceOperate::SWITCH_ON = {
    &IDeviceOperate::EnableDeviceDriver,
    "DerviceOperate::ResetModemPortName EnableDeviceDriver() Failed! ", DEVICE_ENABLE_FAILED,
    "/enable "};

DerviceOperate& DerviceOperate::Instance()
{
    static DerviceOperate instance;
    return instance;
}

DerviceOperate::DerviceOperate()
{
    GetOSType();
}

int DerviceOperate::GetOSType()
{
    if (IsBelowWindows2000(GetVersion()))
    {
        g_nOSType = OS_WIN98;
        return g_nOSType;
    }

    RegKey key;
    std::string version;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, VERSION_KEY, 0, KEY_READ, key.receive()) !=
            ERROR_SUCCESS ||
        !ReadRegistryText(key.get(), "CurrentVersion", version))
        return g_nOSType;

    switch (ClassifyRegistryVersion(version.c_str()))
    {
    case RegistryVersion::Unclassified:
        return g_nOSType;
    case RegistryVersion::Windows2000:
        g_nOSType = OS_WIN2K;
        return g_nOSType;
    case RegistryVersion::WindowsXP:
        g_nOSType = OS_WINXP;
        return g_nOSType;
    case RegistryVersion::NeedsBuildLabel:
        break;
    }

    std::string label;
    if (!ReadRegistryText(key.get(), "BuildLabEx", label))
        return g_nOSType;
    const int nOSType = ClassifyBuildLabel(label);
    if (nOSType >= 0)
        g_nOSType = nOSType;
    return g_nOSType;
}

BOOL DerviceOperate::FindCommPortNumbyID(const char* pstHardwareID, std::string& strPortName)
{
    if (pstHardwareID == nullptr)
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL,
                   "DerviceOperate::FindCommPortNumbyID pstHardwareID IS NULL ", TRACE_SOURCE,
                   __LINE__);
        return FALSE;
    }
    // Every class, not only Ports: the modem's serial interface may sit in another one.
    DeviceInfoSet set = PresentDevicesOfAllClasses();
    if (!set)
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL,
                   "DerviceOperate::FindCommPortNumbyID INVALID_HANDLE_VALUE == hDevInfoSet ",
                   TRACE_SOURCE, __LINE__);
        return FALSE;
    }
    SP_DEVINFO_DATA element;
    if (!FindFirstDeviceWithId(set.get(), pstHardwareID, element))
        return FALSE;
    RegKey key = OpenDeviceKey(set.get(), &element, DIREG_DEV, KEY_READ);
    if (!key)
        return FALSE;
    std::string portName;
    if (!ReadRegistryText(key.get(), "PortName", portName))
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL,
                   "DerviceOperate::FindCommPortNumbyID RegQueryValueEx failed", TRACE_SOURCE,
                   __LINE__);
        return FALSE;
    }
    strPortName = portName;
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, strPortName.c_str(), TRACE_SOURCE, __LINE__);
    return TRUE;
}

BOOL DerviceOperate::FindModemPortNumbyID(const char* pstHardwareID, std::string& strPortName)
{
    DeviceInfoSet set;
    SP_DEVINFO_DATA element;
    if (!FindFirstPresentDevice(pstHardwareID, set, element))
        return FALSE;
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "DerviceOperate::FindModemPortNumbyID  found Modem!",
               TRACE_SOURCE, __LINE__);
    return GetModemPort(set.get(), &element, strPortName);
}

BOOL DerviceOperate::GetModemPort(HDEVINFO hDevInfoSet, SP_DEVINFO_DATA* pDevInfoData,
                                  std::string& strPortName)
{
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "DerviceOperate::GetModemPort Start ...", TRACE_SOURCE,
               __LINE__);
    if (!SetupDiRegisterDeviceInfo(hDevInfoSet, pDevInfoData, 0, nullptr, nullptr, nullptr))
        return FALSE;
    {
        RegKey key = OpenOrCreateDriverKey(hDevInfoSet, pDevInfoData);
        if (!key)
            return FALSE;
        // A modem not attached to any port yet has no "AttachedTo": an empty port.
        std::string attachedTo;
        ReadRegistryText(key.get(), "AttachedTo", attachedTo);
        strPortName = attachedTo;
    }
    if (!SetupDiRegisterDeviceInfo(hDevInfoSet, pDevInfoData, 0, nullptr, nullptr, nullptr))
        return FALSE;
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "DerviceOperate::GetModemPort END ...and return TRUE",
               TRACE_SOURCE, __LINE__);
    return TRUE;
}

BOOL DerviceOperate::DisableDeviceDriver(const char* pstHardwareID, int* pnErrorCode)
{
    return ChangeDriverState(pstHardwareID, DICS_DISABLE,
                             "DerviceOperate::DisableDeviceDriver failed!", DEVICE_DISABLE_FAILED,
                             pnErrorCode);
}

BOOL DerviceOperate::EnableDeviceDriver(const char* pstHardwareID, int* pnErrorCode)
{
    return ChangeDriverState(pstHardwareID, DICS_ENABLE,
                             "DerviceOperate::EnableDeviceDriver failed!", DEVICE_ENABLE_FAILED,
                             pnErrorCode);
}

BOOL DerviceOperate::ChangeDriverState(const char* pstHardwareID, DWORD dwStateChange,
                                       const char* pstFailure, int nSetFailureCode,
                                       int* pnErrorCode)
{
    if (pstHardwareID == nullptr)
    {
        SetErrorCode(pnErrorCode, DEVICE_ID_NULL);
        return FALSE;
    }
    // Devices not plugged in now are switched too, so that the state holds when
    // they come back.
    DeviceInfoSet set(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (!set)
    {
        SetErrorCode(pnErrorCode, nSetFailureCode);
        return FALSE;
    }

    BOOL bMet = FALSE;
    SP_DEVINFO_DATA element = {};
    element.cbSize = sizeof element;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(set.get(), index, &element); ++index)
    {
        const std::size_t matches = CountIdEntries(set.get(), element, pstHardwareID);
        for (std::size_t i = 0; i < matches; ++i)
        {
            // A device its class installer refuses still counts as met: the
            // caller goes on with the other devices and its own fallback.
            if (!RequestStateChange(set.get(), element, dwStateChange))
                WriteTrace(TRACE_MODULE, TRACE_PROGRAM_FAIL, pstFailure, TRACE_SOURCE, __LINE__);
            bMet = TRUE;
            SetErrorCode(pnErrorCode, DEVICE_OK);
        }
    }
    return bMet;
}

BOOL DerviceOperate::InitModem(const char* pstModemHardwareID, const char* pstUSBPortHardwareID,
                               int* pnErrorCode)
{
    const std::string message =
        std::string("DerviceOperate::InitModem pstModemHardwareID = <") +
        (pstModemHardwareID != nullptr ? pstModemHardwareID : "(null)") +
        ">,pstUSBPortHardwareID = <" +
        (pstUSBPortHardwareID != nullptr ? pstUSBPortHardwareID : "(null)") + ">";
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, message.c_str(), TRACE_SOURCE, __LINE__);

    if (pstModemHardwareID == nullptr || pstUSBPortHardwareID == nullptr)
    {
        SetErrorCode(pnErrorCode, DEVICE_ID_NULL);
        return FALSE;
    }
    if (!StoreHardwareIDs(pstModemHardwareID, pstUSBPortHardwareID))
    {
        WriteTrace(TRACE_MODULE, TRACE_PROGRAM_FAIL,
                   "DerviceOperate::InitModem hardware id too long", TRACE_SOURCE, __LINE__);
        SetErrorCode(pnErrorCode, DEVICE_ID_NULL);
        return FALSE;
    }

    std::string strComPort;
    if (!FindCommPortNumbyID(m_szUSBPortHardwareID, strComPort))
    {
        WriteTrace(TRACE_MODULE, TRACE_PROGRAM_FAIL,
                   "DerviceOperate::InitModem FindCommPortNumbyID failed", TRACE_SOURCE, __LINE__);
        SetErrorCode(pnErrorCode, DEVICE_NO_USB_PORT);
        return FALSE;
    }
    const int nOSType = g_nOSType;
    std::string strAttachedPort;
    if (nOSType >= OS_WIN2K && !FindModemPortNumbyID(m_szModemHardwareID, strAttachedPort))
    {
        SetErrorCode(pnErrorCode, DEVICE_NO_MODEM);
        return FALSE;
    }
    if (strAttachedPort == strComPort)
    {
        SetErrorCode(pnErrorCode, DEVICE_OK);
        return TRUE;
    }
    if (!ResetModemPortName(m_szModemHardwareID, strComPort, pnErrorCode))
    {
        SetErrorCode(pnErrorCode, DEVICE_PORT_NOT_WRITTEN);
        return FALSE;
    }
    if (nOSType >= OS_WIN2K)
        Sleep(RESET_SETTLE_MS);
    SetErrorCode(pnErrorCode, DEVICE_OK);
    return TRUE;
}

// Stores all three ids, or none when a given id does not fit its field. A resource
// text that does not fit is stored empty rather than cut into another id.
BOOL DerviceOperate::StoreHardwareIDs(const char* pstModemHardwareID,
                                      const char* pstUSBPortHardwareID)
{
    if (std::strlen(pstModemHardwareID) >= DEVICE_TEXT_SIZE ||
        std::strlen(pstUSBPortHardwareID) >= DEVICE_TEXT_SIZE)
        return FALSE;
    CopyHardwareId(pstModemHardwareID, m_szModemHardwareID);
    CopyHardwareId(pstUSBPortHardwareID, m_szUSBPortHardwareID);
    if (!CopyHardwareId(ReadHardwareIdText(USB_HARDWARE_ID_KEY).c_str(), m_szUSBHardwareID))
        m_szUSBHardwareID[0] = '\0';
    return TRUE;
}

BOOL DerviceOperate::ResetModemPortName(const char* pstModemHardwareID,
                                        const std::string& strPortName, int* pnErrorCode)
{
    const int nOSType = g_nOSType;
    if (nOSType >= OS_WIN2K && !SwitchModemDriver(SWITCH_OFF, pstModemHardwareID, pnErrorCode))
        return FALSE;
    if (!SetModemPortName(pstModemHardwareID, strPortName))
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL,
                   "DerviceOperate::ResetModemPortName SetModemPortName() Failed! ", TRACE_SOURCE,
                   __LINE__);
        SetErrorCode(pnErrorCode, DEVICE_PORT_NOT_WRITTEN);
        return FALSE;
    }
    if (nOSType >= OS_WIN2K && !SwitchModemDriver(SWITCH_ON, pstModemHardwareID, pnErrorCode))
        return FALSE;
    SetErrorCode(pnErrorCode, DEVICE_OK);
    return TRUE;
}

BOOL DerviceOperate::SwitchModemDriver(const DriverSwitch& change, const char* pstModemHardwareID,
                                       int* pnErrorCode)
{
    // Through the interface, as every caller of the driver operations reaches them.
    IDeviceOperate& operate = *this;
    if (!(operate.*change.operation)(pstModemHardwareID, pnErrorCode))
    {
        WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL, change.failure, TRACE_SOURCE, __LINE__);
        SetErrorCode(pnErrorCode, change.nFailureCode);
        return FALSE;
    }
    // On a 64-bit system the setup program switches the driver as well. Its result
    // is not examined: the class installer's call above is the one that counts.
    std::string strArgument;
    if (g_nOSType == OS_VISTA_AMD64 &&
        BuildSetupArgument(change.verb, pstModemHardwareID, strArgument))
        RunSetupProgram(strArgument);
    return TRUE;
}

BOOL DerviceOperate::SetModemPortName(const char* pstModemHardwareID,
                                      const std::string& strPortName)
{
    DeviceInfoSet set;
    SP_DEVINFO_DATA element;
    return FindFirstPresentDevice(pstModemHardwareID, set, element) &&
           RegisterModem(set.get(), &element, strPortName);
}

BOOL DerviceOperate::RegisterModem(HDEVINFO hDevInfoSet, SP_DEVINFO_DATA* pDevInfoData,
                                   const std::string& strPortName)
{
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "DerviceOperate::RegisterModem Start ...",
               TRACE_SOURCE, __LINE__);
    if (!SetupDiRegisterDeviceInfo(hDevInfoSet, pDevInfoData, 0, nullptr, nullptr, nullptr))
        return FALSE;
    {
        RegKey key = OpenOrCreateDriverKey(hDevInfoSet, pDevInfoData);
        if (!key)
            return FALSE;
        // A failed write is left to the re-registration below and the caller's
        // next lookup; its reason stays readable as the thread's last error.
        const LONG result = RegSetValueExA(key.get(), "AttachedTo", 0, REG_SZ,
                                           reinterpret_cast<const BYTE*>(strPortName.c_str()),
                                           static_cast<DWORD>(strPortName.size() + 1));
        if (result != ERROR_SUCCESS)
            SetLastError(static_cast<DWORD>(result));
    }
    if (!SetupDiRegisterDeviceInfo(hDevInfoSet, pDevInfoData, 0, nullptr, nullptr, nullptr))
        return FALSE;
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "DerviceOperate::RegisterModem END ...and return TRUE",
               TRACE_SOURCE, __LINE__);
    return TRUE;
}

BOOL DerviceOperate::GetModuleDirectory(std::string& strDirectory)
{
    std::string dir;
    if (!QueryModuleDir(dir))
        return FALSE;
    dir.pop_back(); // the trailing backslash
    strDirectory = dir;
    return TRUE;
}

BOOL DerviceOperate::RunSetupProgram(const std::string& strArgument)
{
    std::string strFolder;
    std::string strCommandLine;
    if (!GetModuleDirectory(strFolder) ||
        !BuildSetupCommandLine(strFolder, strArgument, strCommandLine))
        return FALSE;

    std::vector<char> commandLine(strCommandLine.begin(), strCommandLine.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return FALSE;
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    return TRUE;
}
