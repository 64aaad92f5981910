#include "LaunchpodRules.h"

#include "DeviceIdRule.h"

namespace installer
{

bool InfHeadMentionsId(const std::string& head, const std::string& lowerCaseId)
{
    const std::string text = ToLowerAscii(head.substr(0, kInfHeadBytes));
    return text.find(lowerCaseId) != std::string::npos;
}

OsType OsTypeFromBuildLab(const std::string& buildLab)
{
    const std::string lower = ToLowerAscii(buildLab);
    if (lower.find(".x86") != std::string::npos)
        return OS_TYPE_VISTA_X86;
    if (lower.find(".amd64") != std::string::npos)
        return OS_TYPE_VISTA_AMD64;
    return OS_TYPE_UNKNOWN;
}

const char* DevsweepProgramFor(OsType type)
{
    return type == OS_TYPE_VISTA_AMD64 ? "Devsweep64.exe" : "Devsweep32.exe";
}

} // namespace installer
