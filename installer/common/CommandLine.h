#pragma once
// Command lines the installers start other programs with. Each has to fit the
// 260-byte buffer the process is created from: a longer one is refused, never cut,
// because a cut command line would start a different program or pass a wrong drive.

#include <cstddef>
#include <string>

namespace installer
{

constexpr std::size_t kCommandLineMax = 259;

// "<program> <argument>"; false when it would exceed kCommandLineMax characters.
bool BuildDriverToolCommand(const std::string& program, const std::string& argument,
                            std::string& commandLine);

// "<folder>\Client\<program>"; false when it would exceed kCommandLineMax characters.
bool BuildClientSetupCommand(const std::string& folder, const std::string& program,
                             std::string& commandLine);

} // namespace installer
