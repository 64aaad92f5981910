#include "ModuleDir.h"

#include <windows.h>

namespace
{

// Filled on first use, on the main thread during start-up.
std::string g_moduleDir;

} // namespace

std::string GetModuleDir()
{
    if (g_moduleDir.empty() && !QueryModuleDir(g_moduleDir))
        g_moduleDir = "c:\\";
    return g_moduleDir;
}

bool QueryModuleDir(std::string& dir)
{
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return false;
    const std::string fullPath(path, length);
    const std::size_t cut = fullPath.rfind('\\');
    if (cut == std::string::npos)
        return false;
    dir = fullPath.substr(0, cut + 1);
    return true;
}
