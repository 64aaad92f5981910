#include "TraceCapture.h"

#include <chrono>

namespace
{

const char CLASS_NAME[] = "TestTraceCapture";

} // namespace

TraceCapture::TraceCapture()
{
    m_thread = std::thread(&TraceCapture::Run, this);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_ready; });
}

TraceCapture::~TraceCapture()
{
    if (m_window != nullptr)
        PostMessageA(m_window, WM_CLOSE, 0, 0);
    m_thread.join();
}

void TraceCapture::Run()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, CLASS_NAME, "DebugView", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, windowClass.hInstance, this);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_window = window;
        m_ready = true;
    }
    m_changed.notify_all();
    if (window == nullptr)
        return;

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
}

LRESULT CALLBACK TraceCapture::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(
                              reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_COPYDATA:
        reinterpret_cast<TraceCapture*>(GetWindowLongPtrA(window, GWLP_USERDATA))
            ->Keep(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void TraceCapture::Keep(const COPYDATASTRUCT& copy)
{
    CapturedTrace record;
    record.level = static_cast<unsigned long>(copy.dwData);
    record.bytes.assign(static_cast<const char*>(copy.lpData), copy.cbData);
    if (auto fields = ParseTraceRecord(copy.lpData, copy.cbData))
        record.fields = *fields;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_records.push_back(std::move(record));
    }
    m_changed.notify_all();
}

std::vector<CapturedTrace> TraceCapture::Records() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_records;
}

std::vector<CapturedTrace> TraceCapture::RecordsWith(const std::string& text) const
{
    std::vector<CapturedTrace> found;
    for (const CapturedTrace& record : Records())
        if (record.fields.message.find(text) != std::string::npos)
            found.push_back(record);
    return found;
}

bool TraceCapture::WaitFor(const std::string& text, DWORD timeoutMs) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        for (const CapturedTrace& record : m_records)
            if (record.fields.message.find(text) != std::string::npos)
                return true;
        return false;
    });
}

void TraceCapture::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.clear();
}
