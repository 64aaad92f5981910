#pragma once
// The device operations' rules that need no system call: the OS types, the error
// codes, the hardware-id matching rule and the setup program's command line.
// Windows-free.

#include <cstddef>
#include <string>

// The OS type: one process-wide value on which several operations branch.
constexpr int OS_WIN98 = 0;
constexpr int OS_WIN2K = 1;
constexpr int OS_WINXP = 2;
constexpr int OS_VISTA_X86 = 3;
constexpr int OS_VISTA_AMD64 = 4;

// Error codes of the device operations (4 is not used).
constexpr int DEVICE_OK = 0;
constexpr int DEVICE_ID_NULL = 1;          // a required hardware id is null (or too long)
constexpr int DEVICE_NO_USB_PORT = 2;      // no device bears the USB port hardware id
constexpr int DEVICE_NO_MODEM = 3;         // no modem device bears the modem hardware id
constexpr int DEVICE_DISABLE_FAILED = 5;   // switching the driver off failed
constexpr int DEVICE_ENABLE_FAILED = 6;    // switching the driver on failed
constexpr int DEVICE_PORT_NOT_WRITTEN = 7; // the modem's port was not rewritten

// A stored hardware id and a registry text fit this many bytes with their NUL.
constexpr std::size_t DEVICE_TEXT_SIZE = 256;
// The hardware-id list of a device is read into this many bytes; a longer list is
// not examined at all.
constexpr std::size_t HARDWARE_ID_LIST_SIZE = 512;

// Counts the entries of a hardware-id list (NUL-terminated strings, an empty one
// ending the list) equal to id, looking at no more than size bytes. Each entry is
// lower-cased in place (A to Z only) before it is compared; id is compared as given,
// so an id with an upper-case letter never matches. An empty id matches nothing.
std::size_t CountMatchingHardwareIds(char* list, std::size_t size, const char* id);

// True when the low byte of the system's version word (the major version) is
// below 5, which is a Windows 98 class system.
bool IsBelowWindows2000(unsigned long versionWord);

// What the registry's "CurrentVersion" text says about the system.
enum class RegistryVersion
{
    Unclassified,   // below 5.0 (or no number at all)
    Windows2000,    // exactly 5.0
    WindowsXP,      // above 5.0 and below 6.0
    NeedsBuildLabel // 6.0 or above: the build label decides
};
RegistryVersion ClassifyRegistryVersion(const char* text);

// OS_VISTA_X86 when the lower-cased label contains ".x86", otherwise OS_VISTA_AMD64
// when it contains ".amd64", otherwise -1.
int ClassifyBuildLabel(std::string label);

// "/disable " or "/enable " (the verb) followed by the hardware id; false when the
// result would not fit the setup program's 127 characters of argument.
bool BuildSetupArgument(const char* verb, const char* hardwareId, std::string& argument);

// The setup program's command line: the program path quoted (the folder may hold a
// blank), a blank and the argument; false when it would exceed 259 characters.
bool BuildSetupCommandLine(const std::string& folder, const std::string& argument,
                           std::string& commandLine);
