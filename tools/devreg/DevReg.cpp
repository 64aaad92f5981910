// devreg install <file> | devreg remove <file>
//
// Installs or removes the devices declared in an INI-syntax file (one section per
// device, see DeviceFixture.h) in the registry's device tree. Exit code 0 on
// success, 1 when the file or a device is refused, 2 for a wrong command line.

#include "DeviceFixture.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    const bool install = argc == 3 && std::strcmp(argv[1], "install") == 0;
    const bool remove = argc == 3 && std::strcmp(argv[1], "remove") == 0;
    if (!install && !remove)
    {
        std::fprintf(stderr, "usage: devreg install <file> | devreg remove <file>\n");
        return 2;
    }

    std::vector<DeviceDeclaration> devices;
    std::string error;
    if (!LoadDeviceDeclarations(argv[2], devices, error))
    {
        std::fprintf(stderr, "devreg: %s\n", error.c_str());
        return 1;
    }
    if (remove)
    {
        RemoveDevices(devices);
        return 0;
    }
    // All or nothing: a script need not clean up after a refused file.
    if (!InstallDevices(devices, error))
    {
        std::fprintf(stderr, "devreg: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
