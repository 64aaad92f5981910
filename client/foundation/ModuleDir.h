#pragma once

#include <string>

// The folder of the running program with its trailing backslash, computed once;
// "c:\" when the program's path cannot be obtained.
std::string GetModuleDir();
