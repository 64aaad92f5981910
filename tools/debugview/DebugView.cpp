// A trace viewer: a top-level window titled "DebugView" that writes every trace
// record it receives by WM_COPYDATA as one line (see TraceLine.h).
//
//   debugview [output file]
//
// Without a file the lines go to standard output. The viewer ends when its window
// is closed.

#include "Handles.h"
#include "TraceLine.h"

namespace
{

const char CLASS_NAME[] = "TorvikTraceViewer";
const char TITLE[] = "DebugView";

struct Viewer
{
    HANDLE output;
};

void OnCopyData(const Viewer& viewer, const COPYDATASTRUCT& copy)
{
    const std::string line =
        DescribeTraceRecord(static_cast<unsigned long>(copy.dwData), copy.lpData, copy.cbData);
    DWORD written = 0;
    WriteFile(viewer.output, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_NCCREATE:
        SetWindowLongPtrA(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_COPYDATA:
        // The sender waits until this returns, so the line is written before the
        // traced program goes on.
        OnCopyData(*reinterpret_cast<const Viewer*>(GetWindowLongPtrA(window, GWLP_USERDATA)),
                   *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int main(int argc, char** argv)
{
    FileHandle file;
    Viewer viewer = {GetStdHandle(STD_OUTPUT_HANDLE)};
    if (argc > 1)
    {
        file.reset(CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return 1;
        viewer.output = file.get();
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = CLASS_NAME;
    if (!RegisterClassA(&windowClass))
        return 1;
    HWND window =
        CreateWindowExA(0, CLASS_NAME, TITLE, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        320, 120, nullptr, nullptr, windowClass.hInstance, &viewer);
    if (window == nullptr)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
    {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
