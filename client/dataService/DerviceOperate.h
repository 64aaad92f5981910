#pragma once
// The connection manager's work with devices by hardware id through the device
// installation interface: the OS type, the COM ports of the modem's devices,
// switching drivers off and on, and re-attaching the modem to its port.

#include "DeviceRules.h"
#include "IDeviceOperate.h"

#include <windows.h>
#include <setupapi.h>

#include <string>

class DerviceOperate : public IDeviceOperate
{
public:
    // The one instance, created (and the OS type classified) on first use.
    static DerviceOperate& Instance();

    BOOL InitModem(const char* pstModemHardwareID, const char* pstUSBPortHardwareID,
                   int* pnErrorCode) override;
    BOOL DisableDeviceDriver(const char* pstHardwareID, int* pnErrorCode) override;
    BOOL EnableDeviceDriver(const char* pstHardwareID, int* pnErrorCode) override;

    // Classifies the running system anew; a system it cannot classify keeps the
    // previous process-wide value (OS_WIN2K at start).
    static int GetOSType();

    // The COM port ("PortName") of the first present device bearing the id.
    BOOL FindCommPortNumbyID(const char* pstHardwareID, std::string& strPortName);
    // The port ("AttachedTo") of the first present device bearing the id.
    BOOL FindModemPortNumbyID(const char* pstHardwareID, std::string& strPortName);
    BOOL GetModemPort(HDEVINFO hDevInfoSet, SP_DEVINFO_DATA* pDevInfoData,
                      std::string& strPortName);

    // The ids as last given to InitModem; never null, possibly empty.
    const char* GetModemHardwareID() const { return m_szModemHardwareID; }
    const char* GetUSBPortHardwareID() const { return m_szUSBPortHardwareID; }
    const char* GetUSBHardwareID() const { return m_szUSBHardwareID; }

    // Rewrites the modem's attached port while its driver is switched off.
    BOOL ResetModemPortName(const char* pstModemHardwareID, const std::string& strPortName,
                            int* pnErrorCode);
    BOOL SetModemPortName(const char* pstModemHardwareID, const std::string& strPortName);
    BOOL RegisterModem(HDEVINFO hDevInfoSet, SP_DEVINFO_DATA* pDevInfoData,
                       const std::string& strPortName);

    // Runs setup.exe of the program's folder with the argument and waits for it.
    BOOL RunSetupProgram(const std::string& strArgument);
    // The running program's folder without a trailing backslash.
    BOOL GetModuleDirectory(std::string& strDirectory);

private:
    DerviceOperate();
    DerviceOperate(const DerviceOperate&) = delete;
    DerviceOperate& operator=(const DerviceOperate&) = delete;

    BOOL ChangeDriverState(const char* pstHardwareID, DWORD dwStateChange, const char* pstFailure,
                           int nSetFailureCode, int* pnErrorCode);
    BOOL StoreHardwareIDs(const char* pstModemHardwareID, const char* pstUSBPortHardwareID);

    struct DriverSwitch;
    static const DriverSwitch SWITCH_OFF;
    static const DriverSwitch SWITCH_ON;
    // One half of a port reset: the driver switched through the class installer
    // (and the setup program on a 64-bit system); on failure traced and coded.
    BOOL SwitchModemDriver(const DriverSwitch& change, const char* pstModemHardwareID,
                           int* pnErrorCode);

    char m_szUSBPortHardwareID[DEVICE_TEXT_SIZE] = {};
    char m_szModemHardwareID[DEVICE_TEXT_SIZE] = {};
    char m_szUSBHardwareID[DEVICE_TEXT_SIZE] = {};
};
