#include "Trace.h"
#include "TraceCapture.h"

#include <gtest/gtest.h>

#include <string>

TEST(WriteTrace, WithoutAViewerReturnsAtOnce)
{
    ASSERT_EQ(FindWindowA(nullptr, "DebugView"), nullptr);
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "nobody listens", "test\\TraceTest.cpp", __LINE__);
}

TEST(WriteTrace, SendsTheRecordWithTheLevelAsDwData)
{
    TraceCapture viewer;
    WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL, "abc", "P", 154);

    const auto records = viewer.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 3u);
    EXPECT_EQ(records[0].bytes, std::string("6\0" "154\0" "0\0" "0\0" "0\0" "P\0" "abc\0", 18));
}

TEST(WriteTrace, TakesModuleAndLevelModulo65536)
{
    TraceCapture viewer;
    WriteTrace(static_cast<unsigned short>(65542), static_cast<unsigned short>(65537), "wrapped",
               "P", -5, -1, 0, 7);

    const auto records = viewer.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].level, 1u);
    EXPECT_EQ(records[0].fields.module, 6);
    EXPECT_EQ(records[0].fields.line, -5);
    EXPECT_EQ(records[0].fields.number1, -1);
    EXPECT_EQ(records[0].fields.number3, 7);
}

TEST(WriteTrace, KeepsAnOversizedRecordWithinItsBuffer)
{
    TraceCapture viewer;
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, std::string(4000, 'x').c_str(), "P", 1);

    const auto records = viewer.Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].bytes.size(), TRACE_RECORD_CAPACITY);
    EXPECT_EQ(records[0].fields.source, "P");
}
