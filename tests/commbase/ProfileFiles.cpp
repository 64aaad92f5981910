#include "ProfileFiles.h"

#include "ModuleDir.h"
#include "ProfileValues.h"
#include "TestFiles.h"

void ProfileFiles::SetUp()
{
    RemoveFile(UserFile());
    RemoveFile(SystemFile());
}

void ProfileFiles::TearDown()
{
    SetUp();
}

std::string ProfileFiles::UserFile()
{
    return GetModuleDir() + USER_PROFILE_FILE;
}

std::string ProfileFiles::SystemFile()
{
    return GetModuleDir() + SYSTEM_PROFILE_FILE;
}

void ProfileFiles::WriteUserFile(const std::string& content)
{
    WriteFileBytes(UserFile(), content);
}

void ProfileFiles::WriteSystemFile(const std::string& content)
{
    WriteFileBytes(SystemFile(), content);
}
