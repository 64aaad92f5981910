#include "ModuleDir.h"

#include <windows.h>

namespace
{

// Filled on first use, on the main thread during start-up.
std::string g_moduleDir;

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

bool QueryModuleDir(std::string& dir)
{
    std::string path;
    if (!GetProgramPath(path))
        return false;
    const std::size_t cut = path.rfind('\\');
    if (cut == std::string::npos)
        return false;
    dir = path.substr(0, cut + 1);
    return true;
}

std::string GetModuleDir()
{
    if (g_moduleDir.empty() && !QueryModuleDir(g_moduleDir))
        g_moduleDir = "c:\\";
    return g_moduleDir;
}
