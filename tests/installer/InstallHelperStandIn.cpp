// Stands in for the installed client's "InstallHelper.dll". Built twice: with
// "PostInstall", which notes each call in "postinstall-ran.txt" beside the library,
// and (WITHOUT_POST_INSTALL) without it, as a broken installation would have it.

#include <windows.h>

#include <fstream>
#include <string>

namespace
{
HMODULE g_module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        g_module = instance;
    return TRUE;
}

#ifndef WITHOUT_POST_INSTALL
extern "C" __declspec(dllexport) int PostInstall()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.rfind('\\'));
    std::ofstream(folder + "\\postinstall-ran.txt", std::ios::app) << "PostInstall\n";
    return 1;
}
#endif
