#include "CommandLine.h"

namespace installer
{

namespace
{
bool Accept(std::string built, std::string& commandLine)
{
    if (built.size() > kCommandLineMax)
        return false;
    commandLine = std::move(built);
    return true;
}
} // namespace

bool BuildDriverToolCommand(const std::string& program, const std::string& argument,
                            std::string& commandLine)
{
    return Accept(program + " " + argument, commandLine);
}

bool BuildClientSetupCommand(const std::string& folder, const std::string& program,
                             std::string& commandLine)
{
    return Accept(folder + "\\Client\\" + program, commandLine);
}

} // namespace installer
