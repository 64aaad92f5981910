#include "Trace.h"

#include <windows.h>

namespace
{

const char VIEWER_TITLE[] = "DebugView";

} // namespace

void WriteTrace(unsigned short module, unsigned short level, const char* message,
                const char* sourceFile, long line, long number1, long number2, long number3)
{
    // Looked up for every record, so a viewer started or closed meanwhile is seen.
    HWND viewer = FindWindowA(nullptr, VIEWER_TITLE);
    if (viewer == nullptr)
        return;

    TraceFields fields;
    fields.module = module;
    fields.line = line;
    fields.number1 = number1;
    fields.number2 = number2;
    fields.number3 = number3;
    fields.source = sourceFile != nullptr ? sourceFile : "";
    fields.message = message != nullptr ? message : "";

    char record[TRACE_RECORD_CAPACITY];
    COPYDATASTRUCT copy;
    copy.dwData = level;
    copy.cbData = static_cast<DWORD>(BuildTraceRecord(record, sizeof record, fields));
    copy.lpData = record;
    SendMessageA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}
