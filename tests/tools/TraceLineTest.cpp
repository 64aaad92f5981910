#include "TraceLine.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace
{

// The fields laid back to back, each followed by its NUL.
std::string Record(std::initializer_list<std::string> fields)
{
    std::string record;
    for (const std::string& field : fields)
        record += field + '\0';
    return record;
}

} // namespace

TEST(DescribeTraceRecord, WritesTheDecodedFieldsOnOneLine)
{
    const struct
    {
        unsigned long level;
        std::string record;
        const char* expected;
    } cases[] = {
        {3, Record({"6", "154", "0", "0", "0", "P", "abc"}), "3\t6\t154\t0\t0\t0\tP\tabc\n"},
        {0, Record({"6", "-5", "-1", "7", "-2147483648", "a\\b.cpp", ""}),
         "0\t6\t-5\t-1\t7\t-2147483648\ta\\b.cpp\t\n"},
        {1, Record({"6", "1", "0", "0", "0", "s", "x\r\ny\tz\x01\x7F\xB2\xE2"}),
         "1\t6\t1\t0\t0\t0\ts\tx\\r\\ny\\tz\\x01\\x7F\xB2\xE2\n"},
        {2, Record({"6", "1", "0"}), "2\tmalformed record of 6 bytes\n"},
        {2, Record({"6", "1", "0", "0", "0", "s"}) + "no final NUL",
         "2\tmalformed record of 24 bytes\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DescribeTraceRecord(c.level, c.record.data(), c.record.size()), c.expected)
            << c.expected;
    EXPECT_EQ(DescribeTraceRecord(4, nullptr, 0), "4\tmalformed record of 0 bytes\n");
}
