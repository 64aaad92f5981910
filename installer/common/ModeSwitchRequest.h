#pragma once
// The SCSI pass-through request that switches the modem out of its CD-ROM mode,
// laid out as the system's SCSI_PASS_THROUGH header followed by a filler, the sense
// area and the data area. Windows-free: the field widths follow the pointer size,
// so a 32-bit build gets the x86 layout and a 64-bit build the x64 layout.

#include <cstddef>
#include <cstdint>
#include <string>

namespace installer
{

struct ScsiPassThroughHeader
{
    std::uint16_t Length;
    std::uint8_t ScsiStatus;
    std::uint8_t PathId;
    std::uint8_t TargetId;
    std::uint8_t Lun;
    std::uint8_t CdbLength;
    std::uint8_t SenseInfoLength;
    std::uint8_t DataIn;
    std::uint32_t DataTransferLength;
    std::uint32_t TimeOutValue;
    std::uintptr_t DataBufferOffset; // ULONG_PTR in the system's header
    std::uint32_t SenseInfoOffset;
    std::uint8_t Cdb[16];
};

struct ModeSwitchRequest
{
    ScsiPassThroughHeader Header;
    std::uint32_t Filler;
    std::uint8_t SenseBuffer[32];
    std::uint8_t DataBuffer[512];
};

constexpr bool kPointerIs64 = sizeof(void*) == 8;
static_assert(sizeof(ScsiPassThroughHeader) == (kPointerIs64 ? 56 : 44), "header size");
static_assert(offsetof(ScsiPassThroughHeader, DataBufferOffset) == (kPointerIs64 ? 24 : 20),
              "data buffer offset field");
static_assert(offsetof(ScsiPassThroughHeader, SenseInfoOffset) == (kPointerIs64 ? 32 : 24),
              "sense offset field");
static_assert(offsetof(ScsiPassThroughHeader, Cdb) == (kPointerIs64 ? 36 : 28), "CDB field");
static_assert(offsetof(ModeSwitchRequest, SenseBuffer) == (kPointerIs64 ? 60 : 48), "sense area");
static_assert(offsetof(ModeSwitchRequest, DataBuffer) == (kPointerIs64 ? 92 : 80), "data area");
static_assert(sizeof(ModeSwitchRequest) == (kPointerIs64 ? 608 : 592), "request size");

constexpr std::uint8_t kScsiDataIn = 1;          // SCSI_IOCTL_DATA_IN
constexpr std::uint8_t kScsiOpRezeroUnit = 0x01; // REZERO UNIT
constexpr std::uint32_t kModeSwitchDataLength = 6;
constexpr std::uint32_t kModeSwitchTimeoutSeconds = 2;

// The whole request zero-filled, padding included, then the header's fields set.
// Filled in place so that no copy can leave the padding undefined.
void BuildModeSwitchRequest(ModeSwitchRequest& request);

// Bytes sent to the device: the header alone.
constexpr std::size_t ModeSwitchInputLength()
{
    return sizeof(ScsiPassThroughHeader);
}

// Bytes the device may write back: up to the end of the expected data.
constexpr std::size_t ModeSwitchOutputLength()
{
    return offsetof(ModeSwitchRequest, DataBuffer) + kModeSwitchDataLength;
}

// "\\.\<name>" in the program's 25-byte buffer: longer paths are cut to 24 characters.
constexpr std::size_t kDevicePathMax = 24;
std::string BuildDevicePath(const std::string& deviceName);

} // namespace installer
