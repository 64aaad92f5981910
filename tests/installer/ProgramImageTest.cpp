#include "InstallerTestSupport.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

namespace
{

struct ImageKind
{
    WORD machine = 0;
    WORD subsystem = 0;
};

// Machine and subsystem from the file's PE headers; zeros when it is no PE image.
ImageKind ReadImageKind(const std::string& path)
{
    const std::string bytes = ReadFileBytes(path);
    ImageKind kind;
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER) || bytes.compare(0, 2, "MZ") != 0)
        return kind;
    IMAGE_DOS_HEADER dos;
    std::memcpy(&dos, bytes.data(), sizeof dos);
    const std::size_t pe = static_cast<std::size_t>(dos.e_lfanew);
    // Signature, file header, then the optional header's Subsystem at the same
    // offset (68) in both the 32-bit and the 64-bit optional header.
    const std::size_t optional = pe + 4 + sizeof(IMAGE_FILE_HEADER);
    if (bytes.size() < optional + 70 || bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return kind;
    std::memcpy(&kind.machine, bytes.data() + pe + 4, sizeof kind.machine);
    std::memcpy(&kind.subsystem, bytes.data() + optional + 68, sizeof kind.subsystem);
    return kind;
}

} // namespace

// Launchpod and Devsweep must not open a console; Modeflip is a console program.
TEST(ProgramImage, EachProgramIsBuiltForItsArchitectureAndSubsystem)
{
    struct Program
    {
        const char* name;
        WORD machine;
        WORD subsystem;
    };
#if defined(_WIN64)
    const Program programs[] = {
        {"Devsweep64.exe", 0x8664, IMAGE_SUBSYSTEM_WINDOWS_GUI},
        {"Modeflip64.exe", 0x8664, IMAGE_SUBSYSTEM_WINDOWS_CUI},
    };
#else
    const Program programs[] = {
        {"Launchpod.exe", 0x14c, IMAGE_SUBSYSTEM_WINDOWS_GUI},
        {"Devsweep32.exe", 0x14c, IMAGE_SUBSYSTEM_WINDOWS_GUI},
        {"Modeflip32.exe", 0x14c, IMAGE_SUBSYSTEM_WINDOWS_CUI},
    };
#endif
    for (const Program& program : programs)
    {
        const ImageKind kind = ReadImageKind(ProgramFolder() + "\\" + program.name);
        EXPECT_EQ(kind.machine, program.machine) << program.name;
        EXPECT_EQ(kind.subsystem, program.subsystem) << program.name;
    }
}

// Under Wine no drive answers a SCSI pass-through request, so what Modeflip shows a
// caller is its exit code: 0 whatever the argument.
TEST(Modeflip, EndsWithZeroWithoutArgumentOrDevice)
{
    const std::string modeflip =
        ProgramFolder() + (sizeof(void*) == 8 ? "\\Modeflip64.exe" : "\\Modeflip32.exe");
    ASSERT_TRUE(FileExists(modeflip));
    for (const char* arguments : {"", "Q:", "C:", "C: D: E:", "averyveryverylongdevicename:"})
        EXPECT_EQ(RunToExit(CommandLineOf(modeflip, arguments)), 0u) << arguments;
}
