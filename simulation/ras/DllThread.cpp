#include "DllThread.h"

#include "Handles.h"

bool StartDllThread(LPTHREAD_START_ROUTINE routine, void* parameter)
{
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&StartDllThread), &self);
    KernelHandle thread(CreateThread(nullptr, 0, routine, parameter, 0, nullptr));
    return static_cast<bool>(thread);
}
