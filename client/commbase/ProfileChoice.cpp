#include "ProfileChoice.h"

#include <algorithm>

bool ContainsProfile(const std::vector<std::string>& profiles, const std::string& name)
{
    return std::find(profiles.begin(), profiles.end(), name) != profiles.end();
}

ProfileChoice ChooseCurrentProfile(const std::vector<std::string>& userProfiles,
                                   const std::string& userDefault,
                                   const std::vector<std::string>& systemProfiles,
                                   const std::string& systemDefault)
{
    if (ContainsProfile(systemProfiles, systemDefault))
        return {systemDefault, true};
    if (ContainsProfile(userProfiles, userDefault))
        return {userDefault, false};
    if (!systemProfiles.empty())
        return {systemProfiles.front(), true};
    if (!userProfiles.empty())
        return {userProfiles.front(), false};
    return {};
}
