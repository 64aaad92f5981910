#include "ModeSwitchRequest.h"

#include <windows.h>
#include <ntddscsi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

using installer::ModeSwitchRequest;

namespace
{
// The request as the system's own SCSI_PASS_THROUGH describes it: header, filler,
// sense area, data area, filled field by field through the system's structure.
struct SystemRequest
{
    SCSI_PASS_THROUGH header;
    ULONG filler;
    UCHAR sense[32];
    UCHAR data[512];
};
} // namespace

static_assert(sizeof(SystemRequest) == sizeof(ModeSwitchRequest), "request size");

TEST(ModeSwitchRequest, EqualsTheSystemsPassThroughRequestByteForByte)
{
    SystemRequest expected;
    std::memset(&expected, 0, sizeof expected);
    expected.header.Length = sizeof(SCSI_PASS_THROUGH);
    expected.header.TargetId = 1;
    expected.header.CdbLength = 6;
    expected.header.SenseInfoLength = 32;
    expected.header.DataIn = SCSI_IOCTL_DATA_IN;
    expected.header.DataTransferLength = 6;
    expected.header.TimeOutValue = 2;
    expected.header.DataBufferOffset = offsetof(SystemRequest, data);
    expected.header.SenseInfoOffset = offsetof(SystemRequest, sense);
    expected.header.Cdb[0] = 0x01;

    ModeSwitchRequest request;
    std::memset(&request, 0xAA, sizeof request);
    installer::BuildModeSwitchRequest(request);
    EXPECT_EQ(std::memcmp(&request, &expected, sizeof expected), 0);

    EXPECT_EQ(installer::ModeSwitchInputLength(), sizeof(SCSI_PASS_THROUGH));
    EXPECT_EQ(installer::ModeSwitchOutputLength(), offsetof(SystemRequest, data) + 6);
#if defined(_WIN64)
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH), 56u);
    EXPECT_EQ(offsetof(SystemRequest, data), 92u);
#else
    EXPECT_EQ(sizeof(SCSI_PASS_THROUGH), 44u);
    EXPECT_EQ(offsetof(SystemRequest, data), 80u);
#endif
}
