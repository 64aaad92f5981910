#pragma once
// Starting another Windows program from a test: the one way tests run a program of
// the project (the connection manager's helpers, the trace viewer) in the same
// Wine prefix.

#include "Handles.h"

#include <string>

// Where a started program's standard output and error go.
enum class ProgramOutput
{
    Inherited, // the test's own
    Captured,  // kept by the TestProcess, read with Output()
};

// A started program; ends it (TerminateProcess) if it still runs when the object goes.
class TestProcess
{
public:
    // Starts the command line with the given current folder (empty: the test's own).
    TestProcess(const std::string& commandLine, const std::string& currentFolder = "",
                ProgramOutput output = ProgramOutput::Inherited);
    ~TestProcess();
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return static_cast<bool>(m_process); }
    DWORD Id() const { return m_id; }
    // Waits for the program to end; false when it still runs after timeoutMs. A captured
    // output is read meanwhile, so a program that writes much never blocks on it.
    bool WaitForExit(DWORD timeoutMs);
    // The exit code once the program has ended.
    DWORD ExitCode() const;
    // What a program started with ProgramOutput::Captured wrote, as read by WaitForExit.
    const std::string& Output() const { return m_output; }

private:
    void ReadAvailableOutput();

    KernelHandle m_process;
    DWORD m_id = 0;
    KernelHandle m_outputPipe; // read end; null when the output is not captured
    std::string m_output;
};

// Runs the program to its end and gives its exit code; fails the current test (and
// answers 0xFFFFFFFF) when it cannot be started or does not end within timeoutMs.
// With an output string, the program's standard output and error are captured into it.
DWORD RunToExit(const std::string& commandLine, const std::string& currentFolder = "",
                DWORD timeoutMs = 60000, std::string* output = nullptr);

// Polls, with a bound, for a top-level window with the title owned by the process.
HWND WaitForWindow(const char* title, DWORD processId, DWORD timeoutMs = 20000);

// A Linux path as the Windows programs under Wine see it (drive Z: is the root).
std::string WindowsPathOf(const std::string& unixPath);
