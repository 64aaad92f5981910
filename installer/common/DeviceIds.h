#pragma once
// Reading a device's hardware and compatible ids through SetupAPI, matched by the
// installers' device-id rule.

#include "DeviceIdRule.h"

#include <windows.h>
#include <setupapi.h>

#include <string>
#include <vector>

namespace installer
{

// The strings of a multi-string id property (SPDRP_HARDWAREID, SPDRP_COMPATIBLEIDS),
// as read; false when the device has no such property or it cannot be read.
bool ReadDeviceIds(HDEVINFO deviceSet, SP_DEVINFO_DATA& device, DWORD property,
                   std::vector<std::string>& ids);

// True when one of the device's compatible ids, lower-cased, equals the given id.
bool HasCompatibleId(HDEVINFO deviceSet, SP_DEVINFO_DATA& device, const std::string& lowerCaseId);

// Walks the set's devices in index order and calls goOn(device) for every hardware id
// of a device that equals the (lower-case) id, so a device listing the id twice is met
// twice. Devices whose ids cannot be read are skipped. The walk stops when goOn
// answers false; the result tells whether it did.
template <typename GoOn>
bool WalkDevicesWithHardwareId(HDEVINFO deviceSet, const std::string& lowerCaseId, GoOn goOn)
{
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(deviceSet, index, &device); ++index)
    {
        std::vector<std::string> ids;
        if (!ReadDeviceIds(deviceSet, device, SPDRP_HARDWAREID, ids))
            continue;
        for (const std::string& id : ids)
        {
            if (IdMatches(id, lowerCaseId) && !goOn(device))
                return true;
        }
    }
    return false;
}

} // namespace installer
