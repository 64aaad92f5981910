#include "Crc32.h"
#include "DataFile.h"
#include "ModuleDir.h"
#include "TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace
{

// "123456789" has the CRC-32 0xCBF43926: 3421780262 unsigned, -873187034 signed.
const char CONTENT[] = "123456789";
const char UNSIGNED_CRC[] = "3421780262";
const char SIGNED_CRC[] = "-873187034";

// The checksum table lives in the program's folder, so each case writes its own
// sysmagic.dat there and removes it afterwards.
class CheckMagicTest : public ::testing::Test
{
protected:
    void TearDown() override { RemoveFile(MagicPath()); }

    static std::string MagicPath() { return GetModuleDir() + "sysmagic.dat"; }
    void WriteMagic(const std::string& entries) { WriteFileBytes(MagicPath(), entries); }

    TempFolder m_folder;
};

} // namespace

TEST(GetModuleDir, IsTheProgramsFolderWithATrailingBackslash)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program = path;
    const std::string dir = GetModuleDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '\\');
    EXPECT_EQ(program.substr(0, dir.size()), dir);
    EXPECT_EQ(program.find('\\', dir.size()), std::string::npos);
    EXPECT_EQ(GetModuleDir(), dir);

    std::string found;
    ASSERT_TRUE(GetProgramPath(found));
    EXPECT_EQ(found, program);

    std::string queried = "unchanged";
    ASSERT_TRUE(QueryModuleDir(queried));
    EXPECT_EQ(queried, dir);
}

TEST_F(CheckMagicTest, ComparesTheFilesCrcWithItsEntry)
{
    const struct
    {
        const char* entries; // section "Magic" of the table
        const char* content; // the checked file's content; null: no such file
        bool passes;
    } cases[] = {
        {"sysrest.dat=-1", nullptr, true},
        {"sysrest.dat=-1", "", true},
        {"sysrest.dat=4294967295", nullptr, true},
        {"other.dat=-1", CONTENT, false},
        {"sysrest.dat=", CONTENT, false},
        {"sysrest.dat=checksum", CONTENT, false},
        {"sysrest.dat=0", CONTENT, false},
        {"sysrest.dat=0", "", false},
        {"sysrest.dat=3421780262", nullptr, false},
        {"sysrest.dat=3421780262", CONTENT, true},
        {"sysrest.dat=-873187034", CONTENT, true},
        {"SYSREST.DAT=3421780262", CONTENT, true},
        {"sysrest.dat=3421780262", "123456788", false},
        {"sysrest.dat=3421780262", "123456789 ", false},
    };
    ASSERT_EQ(UNSIGNED_CRC, std::to_string(Crc32().Compute(CONTENT, 9)));
    ASSERT_EQ(SIGNED_CRC, std::to_string(static_cast<std::int32_t>(Crc32().Compute(CONTENT, 9))));

    const std::string path = m_folder.File("sysrest.dat");
    for (const auto& c : cases)
    {
        WriteMagic(std::string("[Magic]\r\n") + c.entries + "\r\n");
        RemoveFile(path);
        if (c.content != nullptr)
            WriteFileBytes(path, c.content);
        EXPECT_EQ(DataFile(path).CheckMagic(), c.passes)
            << c.entries << " with content " << (c.content ? c.content : "(no file)");
    }
}

TEST_F(CheckMagicTest, FailsWithoutAChecksumTable)
{
    const std::string path = m_folder.File("sysrest.dat");
    WriteFileBytes(path, CONTENT);
    EXPECT_FALSE(DataFile(path).CheckMagic());

    WriteMagic("[Other]\r\nsysrest.dat=-1\r\n");
    EXPECT_FALSE(DataFile(path).CheckMagic()) << "only section Magic counts";
}

TEST_F(CheckMagicTest, ChecksTheFileAtItsPathNotTheOneBesideTheProgram)
{
    // The entry is found by bare name; the content is read from the bound path.
    const std::string path = m_folder.File("SysConfig.dat");
    WriteFileBytes(path, CONTENT);
    WriteFileBytes(GetModuleDir() + "SysConfig.dat", "something else");
    WriteMagic(std::string("[Magic]\r\nSysConfig.dat=") + UNSIGNED_CRC + "\r\n");
    EXPECT_TRUE(DataFile(path).CheckMagic());
    RemoveFile(GetModuleDir() + "SysConfig.dat");
}

TEST_F(CheckMagicTest, MakesAReadOnlyTableWritable)
{
    WriteMagic("[Magic]\r\nsysrest.dat=-1\r\n");
    SetFileAttributesA(MagicPath().c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DataFile(m_folder.File("sysrest.dat")).CheckMagic());
    EXPECT_EQ(GetFileAttributesA(MagicPath().c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}
