#pragma once
// A trace viewer inside the test process: a hidden top-level window titled
// "DebugView", run by a thread of its own, that keeps every record it receives.

#include "TraceRecord.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CapturedTrace
{
    unsigned long level = 0; // dwData of the copy-data block
    std::string bytes;       // the record as sent, cbData bytes
    TraceFields fields;      // the record decoded
};

class TraceCapture
{
public:
    TraceCapture();
    ~TraceCapture();
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<CapturedTrace> Records() const;
    // Records whose message contains the text.
    std::vector<CapturedTrace> RecordsWith(const std::string& text) const;
    // Waits until a record whose message contains the text has arrived.
    bool WaitFor(const std::string& text, DWORD timeoutMs = 5000) const;
    void Clear();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Run();
    void Keep(const COPYDATASTRUCT& copy);

    std::thread m_thread;
    HWND m_window = nullptr;
    bool m_ready = false;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    std::vector<CapturedTrace> m_records;
};
