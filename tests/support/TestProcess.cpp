#include "TestProcess.h"

#include <gtest/gtest.h>

#include <vector>

TestProcess::TestProcess(const std::string& commandLine, const std::string& currentFolder)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
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
    return m_process && WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD TestProcess::ExitCode() const
{
    DWORD code = 0xFFFFFFFF;
    if (m_process)
        GetExitCodeProcess(m_process.get(), &code);
    return code;
}

DWORD RunToExit(const std::string& commandLine, const std::string& currentFolder, DWORD timeoutMs)
{
    TestProcess process(commandLine, currentFolder);
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
