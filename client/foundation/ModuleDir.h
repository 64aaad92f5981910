#pragma once

#include <string>

// The full path of the running program; false when the system cannot give it, or
// would give it cut (a cut path names another file).
bool GetProgramPath(std::string& path);

// The folder of the running program with its trailing backslash, computed once;
// "c:\" when the program's path cannot be obtained.
std::string GetModuleDir();

// The folder of the running program with its trailing backslash, computed anew;
// false when the program's path cannot be obtained or names no folder, for callers
// that must not fall back to another folder.
bool QueryModuleDir(std::string& dir);
