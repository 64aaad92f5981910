#include "DeviceIds.h"

#include "DeviceIdRule.h"
#include "InstallerLog.h"

namespace installer
{

bool ReadDeviceIds(HDEVINFO deviceSet, SP_DEVINFO_DATA& device, DWORD property,
                   std::vector<std::string>& ids)
{
    std::vector<char> buffer;
    DWORD required = 0;
    while (!SetupDiGetDeviceRegistryPropertyA(deviceSet, &device, property, nullptr,
                                              reinterpret_cast<BYTE*>(buffer.data()),
                                              static_cast<DWORD>(buffer.size()), &required))
    {
        // A size that does not grow would make the loop ask again for ever.
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size())
            return false;
        buffer.assign(required, '\0');
    }
    const std::size_t size = required < buffer.size() ? required : buffer.size();
    ids = SplitMultiString(buffer.data(), size);
    return true;
}

bool HasCompatibleId(HDEVINFO deviceSet, SP_DEVINFO_DATA& device, const std::string& lowerCaseId)
{
    std::vector<std::string> ids;
    if (ReadDeviceIds(deviceSet, device, SPDRP_COMPATIBLEIDS, ids))
    {
        for (const std::string& id : ids)
        {
            WriteLog("INF: Finded device compatible ID: %s...", id.c_str());
            if (IdMatches(id, lowerCaseId))
            {
                WriteLog("INF: Compared: %s...", lowerCaseId.c_str());
                return true;
            }
        }
    }
    WriteLog("INF: Can't compared compatible ID: %s...", lowerCaseId.c_str());
    return false;
}

} // namespace installer
