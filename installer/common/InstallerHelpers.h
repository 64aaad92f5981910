#pragma once
// Helpers shared by Launchpod and Devsweep: names both use, the single-instance
// check, the INI reader, the program folder and starting a program and waiting.

#include <string>

namespace installer
{

constexpr char kSemaphoreName[] = "XTR4417_SEMAPHORE_NAME";
constexpr char kSysConfigFile[] = "SysConfig.dat";
constexpr char kHardwareSection[] = "Hardware";
constexpr char kHardwareKey[] = "Hardware ID";
constexpr char kFallbackHardwareId[] = "usb\\vid_7c3e&pid_1010";
constexpr char kMassStorageCompatibleId[] = "usb\\class_08&subclass_06&prot_50";
constexpr char kIniValueMissing[] = "This value is not found";

// True when this instance is alone. The semaphore is held only during the check,
// so that Devsweep, started by a running Launchpod, is not turned away.
bool CheckSingleInstance();

// Reads at most 127 characters; false exactly when the answer is the marker text.
bool ReadIniValue(const std::string& path, const char* section, const char* key,
                  std::string& value);

// The user's temporary folder, with its trailing backslash, then "SysConfig.dat".
std::string TempSysConfigPath();

// The running program's folder without trailing backslash; logs the outcome.
bool GetModulePath(std::string& folder);

// Starts "<program> <argument>" without a console window and waits for its end.
bool RunAndWaitDriverTool(const std::string& program, const std::string& argument);

// Starts "<own folder>\Client\<program>" and waits for its end.
bool RunAndWaitClientSetup(const std::string& program);

} // namespace installer
