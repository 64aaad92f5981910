#include "TestFiles.h"
#include "TestProcess.h"
#include "Trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{

std::string ViewerProgram()
{
    const char* bin = std::getenv("TC_BIN_DIR");
    return bin != nullptr ? WindowsPathOf(bin) + "\\debugview.exe" : std::string();
}

} // namespace

TEST(DebugView, WritesTheRecordsOfAnotherProcessAsLines)
{
    ASSERT_EQ(FindWindowA(nullptr, "DebugView"), nullptr) << "no other viewer may run";
    TempFolder folder;
    const std::string output = folder.File("trace.txt");
    TestProcess viewer("\"" + ViewerProgram() + "\" \"" + output + "\"");
    ASSERT_TRUE(viewer.Started()) << ViewerProgram();
    HWND window = WaitForWindow("DebugView", viewer.Id());
    ASSERT_NE(window, nullptr) << "the viewer's window did not appear";

    WriteTrace(TRACE_MODULE, TRACE_SYSTEM_FAIL, "abc", "P", 154);
    WriteTrace(TRACE_MODULE, static_cast<unsigned short>(65537), "two\nlines",
               "dataService\\DataService.cpp", -5, -1, 2147483647, -2147483647 - 1);
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "", "commbase\\DSDialProfile.cpp", 7, 1, 2, 3);

    // Each record is sent synchronously and written before the viewer answers.
    const std::string expected = "3\t6\t154\t0\t0\t0\tP\tabc\n"
                                 "1\t6\t-5\t-1\t2147483647\t-2147483648\t"
                                 "dataService\\DataService.cpp\ttwo\\nlines\n"
                                 "0\t6\t7\t1\t2\t3\tcommbase\\DSDialProfile.cpp\t\n";
    EXPECT_EQ(ReadFileBytes(output), expected);

    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(viewer.WaitForExit(20000));
    EXPECT_EQ(viewer.ExitCode(), 0u);
    EXPECT_EQ(FindWindowA(nullptr, "DebugView"), nullptr);

    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, "after the viewer ended", "P", 1);
    EXPECT_EQ(ReadFileBytes(output), expected);
}
