#pragma once
// The device operations as the data service reaches them.

#include <windows.h>

class IDeviceOperate
{
public:
    // Makes the modem's attached port agree with the COM port of the USB port device.
    virtual BOOL InitModem(const char* pstModemHardwareID, const char* pstUSBPortHardwareID,
                           int* pnErrorCode) = 0;
    // Switch every device bearing the id off or on; TRUE when at least one was met.
    virtual BOOL DisableDeviceDriver(const char* pstHardwareID, int* pnErrorCode) = 0;
    virtual BOOL EnableDeviceDriver(const char* pstHardwareID, int* pnErrorCode) = 0;

protected:
    // Not virtual: the one implementation is a process-wide object that nobody
    // deletes through this interface.
    ~IDeviceOperate() = default;
};
