// Sends the modem, while it presents itself as a CD-ROM drive, the one SCSI command
// that switches it into its modem mode. Shows nothing, writes nothing, ends with 0.

#include "Handles.h"
#include "ModeSwitchRequest.h"

#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>

using installer::ModeSwitchRequest;
using installer::ScsiPassThroughHeader;

// The request must be the system's SCSI_PASS_THROUGH byte for byte.
static_assert(sizeof(ScsiPassThroughHeader) == sizeof(SCSI_PASS_THROUGH), "header size");
static_assert(offsetof(ScsiPassThroughHeader, DataBufferOffset) ==
                  offsetof(SCSI_PASS_THROUGH, DataBufferOffset),
              "data buffer offset field");
static_assert(offsetof(ScsiPassThroughHeader, SenseInfoOffset) ==
                  offsetof(SCSI_PASS_THROUGH, SenseInfoOffset),
              "sense offset field");
static_assert(offsetof(ScsiPassThroughHeader, Cdb) == offsetof(SCSI_PASS_THROUGH, Cdb),
              "CDB field");
static_assert(IOCTL_SCSI_PASS_THROUGH == 0x4D004, "control code");

int main(int argc, char** argv)
{
    if (argc < 2)
        return 0;
    const std::string path = installer::BuildDevicePath(argv[1]);
    FileHandle device(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!device)
        return 0;

    ModeSwitchRequest request;
    installer::BuildModeSwitchRequest(request);
    DWORD returned = 0;
    // The answer, the SCSI status and the sense data tell the caller nothing it acts
    // on: the device leaves its CD-ROM mode or it does not.
    DeviceIoControl(device.get(), IOCTL_SCSI_PASS_THROUGH, &request,
                    static_cast<DWORD>(installer::ModeSwitchInputLength()), &request,
                    static_cast<DWORD>(installer::ModeSwitchOutputLength()), &returned, nullptr);
    return 0;
}
