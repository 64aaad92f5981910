// Stands in for the client's setup program on the CD: notes in "setup-ran.txt" beside
// itself the command line it was started with.

#include <windows.h>

#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    folder.erase(folder.rfind('\\'));
    std::ofstream(folder + "\\setup-ran.txt", std::ios::app) << GetCommandLineA() << "\n";
    return 0;
}
