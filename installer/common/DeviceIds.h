#pragma once
// Reading a device's hardware and compatible ids through SetupAPI, matched by the
// installers' device-id rule.

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

} // namespace installer
