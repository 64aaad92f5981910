#pragma once
// Launchpod's decisions that need no system call. Windows-free so that they are
// tested natively as well.

#include <cstddef>
#include <string>

namespace installer
{

// Only the head of an inf file is searched for the hardware id.
constexpr std::size_t kInfHeadBytes = 2048;

// True when the lower-cased head of the file text contains the (lower-case) id.
bool InfHeadMentionsId(const std::string& head, const std::string& lowerCaseId);

// Operating-system types of Launchpod's choice of Devsweep build.
enum OsType
{
    OS_TYPE_UNKNOWN = 0,
    OS_TYPE_WIN2K = 1,
    OS_TYPE_WINXP = 2,
    OS_TYPE_VISTA_X86 = 3,
    OS_TYPE_VISTA_AMD64 = 4,
};

// The architecture from a "BuildLabEx" text: ".x86" first, then ".amd64", any
// letter case; OS_TYPE_UNKNOWN when neither occurs.
OsType OsTypeFromBuildLab(const std::string& buildLab);

// "Devsweep64.exe" for the x64 type, "Devsweep32.exe" for every other.
const char* DevsweepProgramFor(OsType type);

} // namespace installer
