#include "ModeSwitchRequest.h"

#include <cstring>

namespace installer
{

void BuildModeSwitchRequest(ModeSwitchRequest& request)
{
    std::memset(&request, 0, sizeof request);
    ScsiPassThroughHeader& header = request.Header;
    header.Length = sizeof(ScsiPassThroughHeader);
    header.TargetId = 1;
    header.CdbLength = 6;
    header.SenseInfoLength = sizeof request.SenseBuffer;
    header.DataIn = kScsiDataIn;
    header.DataTransferLength = kModeSwitchDataLength;
    header.TimeOutValue = kModeSwitchTimeoutSeconds;
    header.DataBufferOffset = offsetof(ModeSwitchRequest, DataBuffer);
    header.SenseInfoOffset = offsetof(ModeSwitchRequest, SenseBuffer);
    header.Cdb[0] = kScsiOpRezeroUnit;
}

std::string BuildDevicePath(const std::string& deviceName)
{
    std::string path = "\\\\.\\" + deviceName;
    if (path.size() > kDevicePathMax)
        path.resize(kDevicePathMax);
    return path;
}

} // namespace installer
