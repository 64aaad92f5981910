#include "ModuleDir.h"

#include <windows.h>

namespace
{

// Filled on first use, on the main thread during start-up.
std::string g_moduleDir;

std::string ComputeModuleDir()
{
    std::string path;
    if (!GetProgramPath(path))
        return "c:\\";
    return path.substr(0, path.rfind('\\') + 1);
}

} // namespace

bool GetProgramPath(std::string& path)
{
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return false;
    path.assign(buffer, length);
    return true;
}

std::string GetModuleDir()
{
    if (g_moduleDir.empty())
        g_moduleDir = ComputeModuleDir();
    return g_moduleDir;
}
