#pragma once
// The one trace call of the connection manager. A record reaches a viewer only
// while a top-level window titled "DebugView" exists; otherwise it is dropped.

#include "TraceRecord.h"

// Trace levels.
enum TraceLevel : unsigned short
{
    TRACE_PROGRESS = 0,    // entry and end of operations, parameter values
    TRACE_CONNECTIONS = 1, // details while enumerating dial-up connections
    TRACE_MILESTONE = 2,   // a notification posted, the COM port found, a command accepted
    TRACE_SYSTEM_FAIL = 3, // a failing system call
    TRACE_PROGRAM_FAIL = 4 // a failing operation of the program
};

// Sends one record with WM_COPYDATA (dwData = level) to the "DebugView" window and
// waits until the viewer has handled it. The message must be formatted already.
void WriteTrace(unsigned short module, unsigned short level, const char* message,
                const char* sourceFile, long line, long number1 = 0, long number2 = 0,
                long number3 = 0);
