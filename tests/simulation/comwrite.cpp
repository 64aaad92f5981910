// comwrite COMn TEXT: writes TEXT and a carriage return to the serial port the way the
// connection manager does (comm state, mask, one write), then prints what the modem
// answers within a few seconds. Exit code 0 when the text was written.

#include "Handles.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace
{

constexpr DWORD ANSWER_WAIT_MS = 5000;

bool PreparePort(HANDLE port)
{
    DCB settings = {};
    settings.DCBlength = sizeof settings;
    if (!GetCommState(port, &settings))
        return false;
    settings.BaudRate = CBR_115200;
    settings.ByteSize = 8;
    settings.Parity = NOPARITY;
    settings.StopBits = ONESTOPBIT;
    COMMTIMEOUTS timeouts = {};
    timeouts.ReadIntervalTimeout = 200;
    timeouts.ReadTotalTimeoutConstant = ANSWER_WAIT_MS;
    return SetCommState(port, &settings) && SetCommMask(port, EV_RXCHAR) &&
           SetCommTimeouts(port, &timeouts);
}

// Reads until a final answer line has come or the time is up.
std::string ReadAnswer(HANDLE port)
{
    std::string answer;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ANSWER_WAIT_MS && answer.find("OK\r\n") == std::string::npos &&
           answer.find("ERROR\r\n") == std::string::npos)
    {
        char bytes[64];
        DWORD count = 0;
        if (!ReadFile(port, bytes, sizeof bytes, &count, nullptr))
            break;
        answer.append(bytes, count);
    }
    return answer;
}

// The answer's lines on one line, each after a blank.
std::string OneLine(const std::string& answer)
{
    std::string line;
    std::size_t start = 0;
    while (start < answer.size())
    {
        std::size_t end = answer.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = answer.size();
        if (end > start)
            line += " " + answer.substr(start, end - start);
        start = end + 1;
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
    {
        std::fprintf(stderr, "usage: comwrite COMn TEXT\n");
        return 2;
    }
    const std::string path = std::string("\\\\.\\") + argv[1];
    FileHandle port(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!port)
    {
        std::fprintf(stderr, "comwrite: can't open %s (%lu)\n", path.c_str(), GetLastError());
        return 1;
    }
    if (!PreparePort(port.get()))
    {
        std::fprintf(stderr, "comwrite: can't set up %s (%lu)\n", path.c_str(), GetLastError());
        return 1;
    }
    const std::string line = std::string(argv[2]) + "\r";
    DWORD written = 0;
    if (!WriteFile(port.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
    {
        std::fprintf(stderr, "comwrite: write failed (%lu)\n", GetLastError());
        return 1;
    }
    std::printf("answer:%s\n", OneLine(ReadAnswer(port.get())).c_str());
    return 0;
}
