#pragma once
// What the installer tests share: the built programs, the modem's devices, registry
// values held for a test, and the installer log read back as messages.

#include "DeviceFixture.h"
#include "ScopedRegistryValue.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A folder of the build's shipped programs, from the environment variable the test
// was given (a path of the Linux side, reached through drive Z:).
std::string ProgramFolder(const char* variable = "TC_INSTALLER_BIN");

// The command line that starts the program (quoted) with the arguments.
std::string CommandLineOf(const std::string& program, const std::string& arguments = "");

// The modem's USB mass-storage interface ("<usbId>\<instance>"), as it presents
// itself before the switch: its id with and without revision and the mass-storage
// compatible id.
DeviceDeclaration ModemMassStorageDevice(const std::string& usbId, const std::string& instance);

// True while the device's instance key is in the device tree.
bool DeviceInstalled(const DeviceDeclaration& device);

// The installer log in the Windows folder.
std::string InstallerLogPath();
void RemoveInstallerLog();

// The log's lines with the "HH:MM:SS: " of each record taken off; the empty lines of
// messages ending in "\n" stay. A line without a well-formed time is kept whole, so
// that it cannot compare equal to a message.
std::vector<std::string> ReadLogMessages();

// Waits until the log holds the line (as a message) or the time runs out.
bool WaitForLogMessage(const std::string& message, DWORD timeoutMs);

// True when the log is made of the two sequences, each in its own order: what two
// programs writing the log at the same time leave.
bool IsInterleaving(const std::vector<std::string>& log, const std::vector<std::string>& first,
                    const std::vector<std::string>& second);

// Both sequences printed side by side, for a failure message.
std::string DescribeLines(const std::vector<std::string>& lines);

// The temporary folder with its trailing backslash.
std::string TempFolderPath();
