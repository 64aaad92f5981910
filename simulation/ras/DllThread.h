#pragma once
// Threads that run this DLL's code after the call that started them has returned.

#include <windows.h>

// Pins the DLL in the process first, so that the thread's code can't be unloaded
// under it. False when the thread could not be started.
bool StartDllThread(LPTHREAD_START_ROUTINE routine, void* parameter);
