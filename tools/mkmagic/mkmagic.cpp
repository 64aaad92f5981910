// Writes the checksum table "sysmagic.dat" of the shipped data files.
//
//   mkmagic <table> [--exempt <name> | <file>]...
//
// Each <file> gets the entry "<bare name>=<CRC-32 in unsigned decimal>"; each
// "--exempt <name>" gets "<name>=-1", for files that the program rewrites. A file
// that cannot be read, or whose CRC-32 is 0 (an empty file), can never pass the check
// and ends the tool with an error.

#include "Crc32.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace
{

std::string BareName(const std::string& path)
{
    const std::string::size_type slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileCrc(const std::string& path, std::uint32_t& crc)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string content((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
    crc = Crc32().Compute(content.data(), content.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: mkmagic <table> [--exempt <name> | <file>]...\n");
        return 2;
    }

    std::ostringstream table;
    table << "[Magic]\r\n";
    for (int i = 2; i < argc; ++i)
    {
        const std::string argument = argv[i];
        if (argument == "--exempt" && i + 1 < argc)
        {
            table << argv[++i] << "=-1\r\n";
            continue;
        }
        std::uint32_t crc = 0;
        if (!FileCrc(argument, crc))
        {
            std::fprintf(stderr, "mkmagic: cannot read %s\n", argument.c_str());
            return 1;
        }
        if (crc == 0)
        {
            std::fprintf(stderr, "mkmagic: %s has CRC-32 0 and would always fail\n",
                         argument.c_str());
            return 1;
        }
        table << BareName(argument) << "=" << crc << "\r\n";
    }

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out << table.str();
    if (!out)
    {
        std::fprintf(stderr, "mkmagic: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
