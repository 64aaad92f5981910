#include "ModuleDir.h"

#include <windows.h>

namespace
{

// Filled on first use, on the main thread during start-up.
std::string g_moduleDir;

std::string ComputeModuleDir()
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return "c:\\";
    std::string dir(path, length);
    return dir.substr(0, dir.rfind('\\') + 1);
}

} // namespace

std::string GetModuleDir()
{
    if (g_moduleDir.empty())
        g_moduleDir = ComputeModuleDir();
    return g_moduleDir;
}
