#pragma once
// The rule that picks the current profile among the user's and the system's
// profiles. Windows-free.

#include <string>
#include <vector>

// True when the list holds an entry equal to the name, byte for byte with case.
bool ContainsProfile(const std::vector<std::string>& profiles, const std::string& name);

struct ProfileChoice
{
    std::string name; // empty when neither list holds a profile
    bool isSystemProfile = false;
};

// A system default that names a system profile wins; then a user default that names
// a user profile; then the first system profile; then the first user profile. A
// default naming no existing profile is passed over.
ProfileChoice ChooseCurrentProfile(const std::vector<std::string>& userProfiles,
                                   const std::string& userDefault,
                                   const std::vector<std::string>& systemProfiles,
                                   const std::string& systemDefault);
