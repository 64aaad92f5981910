#pragma once
// Starting another Windows program from a test: the one way tests run a program of
// the project (the connection manager's helpers, the trace viewer) in the same
// Wine prefix.

#include "Handles.h"

#include <string>

// A started program; ends it (TerminateProcess) if it still runs when the object goes.
class TestProcess
{
public:
    // Starts the command line with the given current folder (empty: the test's own).
    TestProcess(const std::string& commandLine, const std::string& currentFolder = "");
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    // Waits for the program to end; false when it still runs after timeoutMs.
    bool WaitForExit(DWORD timeoutMs);
    // The exit code once the program has ended.
    DWORD ExitCode() const;

private:
    KernelHandle m_process;
    DWORD m_id = 0;
};

// Runs the program to its end and gives its exit code; fails the current test (and
// answers 0xFFFFFFFF) when it cannot be started or does not end within timeoutMs.
DWORD RunToExit(const std::string& commandLine, const std::string& currentFolder = "",
                DWORD timeoutMs = 60000);

// Polls, with a bound, for a top-level window with the title owned by the process.
HWND WaitForWindow(const char* title, DWORD processId, DWORD timeoutMs = 20000);

// A Linux path as the Windows programs under Wine see it (drive Z: is the root).
std::string WindowsPathOf(const std::string& unixPath);
