#include "TraceRecord.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

std::string Build(const TraceFields& fields, std::size_t capacity = TRACE_RECORD_CAPACITY)
{
    std::string buffer(capacity, '\x7f');
    buffer.resize(BuildTraceRecord(&buffer[0], capacity, fields));
    return buffer;
}

TraceFields Fields(const std::string& source, const std::string& message)
{
    TraceFields fields;
    fields.module = TRACE_MODULE;
    fields.line = 154;
    fields.source = source;
    fields.message = message;
    return fields;
}

} // namespace

TEST(TraceRecord, LaysOutSevenNulTerminatedFields)
{
    const std::string record = Build(Fields("P", "abc"));
    EXPECT_EQ(record, std::string("6\0" "154\0" "0\0" "0\0" "0\0" "P\0" "abc\0", 18));
}

TEST(TraceRecord, WritesNegativeNumbersAndAnEmptyMessage)
{
    TraceFields fields = Fields("src", "");
    fields.number1 = -1;
    fields.number2 = 2147483647;
    fields.number3 = -2147483647 - 1;
    const std::string record = Build(fields);
    EXPECT_EQ(record, std::string("6\0" "154\0" "-1\0" "2147483647\0" "-2147483648\0" "src\0" "\0",
                                  37));
}

TEST(TraceRecord, CutsAnOversizedMessageInsideTheBuffer)
{
    const std::string record = Build(Fields("dataService\\DataService.cpp", std::string(5000, 'm')));
    ASSERT_EQ(record.size(), TRACE_RECORD_CAPACITY);
    EXPECT_EQ(record.back(), '\0');
    const auto parsed = ParseTraceRecord(record.data(), record.size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->source, "dataService\\DataService.cpp");
    EXPECT_EQ(parsed->message, std::string(TRACE_RECORD_CAPACITY - 12 - 28 - 1, 'm'));
}

TEST(TraceRecord, CutsTheSourcePathWhenItAloneFillsTheBuffer)
{
    const std::string record = Build(Fields(std::string(3000, 's'), "lost"), 64);
    ASSERT_EQ(record.size(), 64u);
    const auto parsed = ParseTraceRecord(record.data(), record.size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->source, std::string(64 - 12 - 2, 's'));
    EXPECT_EQ(parsed->message, "");
}

TEST(TraceRecord, ParseRoundTripsAndRefusesMalformedBlocks)
{
    TraceFields fields = Fields("commbase\\DSDialProfile.cpp", "GetNetConnectionStyle() failed");
    fields.number1 = 3;
    const std::string record = Build(fields);
    const auto parsed = ParseTraceRecord(record.data(), record.size());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->module, 6);
    EXPECT_EQ(parsed->line, 154);
    EXPECT_EQ(parsed->number1, 3);
    EXPECT_EQ(parsed->message, fields.message);

    EXPECT_FALSE(ParseTraceRecord(record.data(), record.size() - 1)); // last NUL missing
    EXPECT_FALSE(ParseTraceRecord("1\0" "2\0", 4));                   // too few fields
    const std::string extra = record + "x";
    EXPECT_FALSE(ParseTraceRecord(extra.data(), extra.size()));
}
