// Stands in for the client's setup.exe: records the command line it was started
// with as one trace record (source "standin\setup.exe") and ends with code 0.

#include "Trace.h"

#include <windows.h>

int main()
{
    WriteTrace(TRACE_MODULE, TRACE_PROGRESS, GetCommandLineA(), "standin\\setup.exe", __LINE__);
    return 0;
}
