#pragma once
// The rule by which the installers match a device's hardware or compatible ids
// against a configured id. Windows-free so that it is tested natively as well.

#include <cstddef>
#include <string>
#include <vector>

namespace installer
{

// The strings of a multi-string property as the system returned it: in order, up
// to the first empty string or the end of the reported size, whichever comes first.
// A last string that is not terminated within the size is taken as it stands.
std::vector<std::string> SplitMultiString(const char* buffer, std::size_t size);

// ASCII A to Z only: the code page's other letters stay as they are.
std::string ToLowerAscii(std::string text);

// Configured ids are given in lower case; the device's id is compared after
// lower-casing it, byte for byte.
bool IdMatches(const std::string& deviceId, const std::string& lowerCaseId);

} // namespace installer
