#include "TestProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace
{

// How often a captured output is read while the program runs.
constexpr DWORD OUTPUT_READ_INTERVAL_MS = 10;

} // namespace

TestProcess::TestProcess(const std::string& commandLine, const std::string& currentFolder,
                         ProgramOutput output)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    KernelHandle writeEnd; // the program's copy is all that stays open once it has started
    const bool capture = output == ProgramOutput::Captured;
    if (capture)
    {
        SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
        if (!CreatePipe(m_outputPipe.receive(), writeEnd.receive(), &inherited, 0))
            return;
        SetHandleInformation(m_outputPipe.get(), HANDLE_FLAG_INHERIT, 0);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = writeEnd.get();
        startup.hStdError = writeEnd.get();
    }
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, capture ? TRUE : FALSE, 0, nullptr,
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_id = info.dwProcessId;
}

TestProcess::~TestProcess()
{
    if (m_process && WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT)
    {
        TerminateProcess(m_process.get(), 1);
        WaitForSingleObject(m_process.get(), 10000);
    }
}

bool TestProcess::WaitForExit(DWORD timeoutMs)
{
    if (!m_process)
        return false;
    if (!m_outputPipe)
        return WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    const DWORD start = GetTickCount();
    while (true)
    {
        ReadAvailableOutput();
        const DWORD waited = GetTickCount() - start;
        if (waited > timeoutMs)
            return false;
        const DWORD slice = std::min(OUTPUT_READ_INTERVAL_MS, timeoutMs - waited);
        if (WaitForSingleObject(m_process.get(), slice) == WAIT_OBJECT_0)
        {
            ReadAvailableOutput(); // what it wrote just before it ended
            return true;
        }
    }
}

void TestProcess::ReadAvailableOutput()
{
    DWORD available = 0;
    while (PeekNamedPipe(m_outputPipe.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available > 0)
    {
        char buffer[512];
        DWORD count = 0;
        if (!ReadFile(m_outputPipe.get(), buffer, std::min<DWORD>(available, sizeof buffer), &count,
                      nullptr) ||
            count == 0)
            return;
        m_output.append(buffer, count);
    }
}

DWORD TestProcess::ExitCode() const
{
    DWORD code = 0xFFFFFFFF;
    if (m_process)
        GetExitCodeProcess(m_process.get(), &code);
    return code;
}

DWORD RunToExit(const std::string& commandLine, const std::string& currentFolder, DWORD timeoutMs,
                std::string* output)
{
    TestProcess process(commandLine, currentFolder,
                        output != nullptr ? ProgramOutput::Captured : ProgramOutput::Inherited);
    if (!process.Started())
    {
        ADD_FAILURE() << "cannot start " << commandLine << " (error " << GetLastError() << ")";
        return 0xFFFFFFFF;
    }
    if (!process.WaitForExit(timeoutMs))
    {
        ADD_FAILURE() << commandLine << " did not end within " << timeoutMs << " ms";
        return 0xFFFFFFFF;
    }
    if (output != nullptr)
        *output = process.Output();
    return process.ExitCode();
}

namespace
{

struct WindowSearch
{
    const char* title;
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(context);
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && std::string(title) == search.title)
    {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND WaitForWindow(const char* title, DWORD processId, DWORD timeoutMs)
{
    const DWORD step = 20;
    for (DWORD waited = 0; waited <= timeoutMs; waited += step)
    {
        WindowSearch search = {title, processId, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr)
            return search.found;
        Sleep(step);
    }
    return nullptr;
}

std::string WindowsPathOf(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}
