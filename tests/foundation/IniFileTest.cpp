#include "IniFile.h"
#include "TestFiles.h"

#include <windows.h>

#include <gtest/gtest.h>

TEST(IniFile, ReadsDefaultsFromAMissingFileAndCreatesItOnWrite)
{
    TempFolder folder;
    IniFile ini(folder.File("new.ini"));
    EXPECT_EQ(ini.ReadString("S", "K", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInt("S", "K", 42), 42);
    EXPECT_TRUE(ini.WriteString("S", "K", "value"));
    EXPECT_EQ(ini.ReadString("s", "k", ""), "value");
    EXPECT_TRUE(FileExists(folder.File("new.ini")));
}

TEST(IniFile, MakesAReadOnlyFileWritableKeepingItsOtherAttributes)
{
    TempFolder folder;
    const std::string path = folder.File("DataCardInfo.ini");
    WriteFileBytes(path, "[A]\r\nx=1\r\n");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    IniFile ini(path);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(ini.WriteString("A", "x", "2"));
    EXPECT_EQ(ini.ReadInt("A", "x", 0), 2);
}

TEST(IniFile, ParsesIntegersTheWayTheSettingsFilesNeed)
{
    TempFolder folder;
    WriteFileBytes(folder.File("n.ini"), "[N]\r\na=12abc\r\nb=  -7\r\nc=letters\r\nd=\r\n"
                                         "e=4294967295\r\n");
    const IniFile ini(folder.File("n.ini"));
    EXPECT_EQ(ini.ReadInt("N", "a", 99), 12);
    EXPECT_EQ(ini.ReadInt("N", "b", 99), -7);
    EXPECT_EQ(ini.ReadInt("N", "c", 99), 0);
    EXPECT_EQ(ini.ReadInt("N", "d", 99), 99);
    EXPECT_EQ(ini.ReadInt("N", "e", 99), -1);
}

TEST(IniFile, WritesAndReadsBack64BitValues)
{
    TempFolder folder;
    IniFile ini(folder.File("w.ini"));
    for (const std::int64_t value : {std::int64_t(-5), std::int64_t(0), INT64_MIN, INT64_MAX})
    {
        ASSERT_TRUE(ini.WriteInt64("DataService", "TxBytes", value));
        EXPECT_EQ(ini.ReadInt64("DataService", "TxBytes", 1), value);
    }
    ini.WriteInt64("DataService", "TxBytes", -5);
    EXPECT_EQ(ini.ReadString("DataService", "TxBytes", ""), "-5");
}

TEST(IniFile, CutsLongValuesTo1023Characters)
{
    TempFolder folder;
    IniFile ini(folder.File("long.ini"));
    ini.WriteString("S", "K", std::string(3000, 'v'));
    EXPECT_EQ(ini.ReadString("S", "K", ""), std::string(1023, 'v'));
}

TEST(IniFile, WalksSectionNamesInFileOrder)
{
    TempFolder folder;
    WriteFileBytes(folder.File("s.ini"), "[First]\r\na=1\r\n[Second]\r\n[Third]\r\nb=2\r\n");
    IniFile ini(folder.File("s.ini"));
    std::vector<std::string> names;
    for (ini.FirstSection(); !ini.IsSectionEnd(); ini.NextSection())
        names.push_back(ini.GetSectionName());
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_TRUE(ini.IsSectionEnd());

    IniFile missing(folder.File("none.ini"));
    missing.FirstSection();
    EXPECT_TRUE(missing.IsSectionEnd());
}

TEST(IniFile, NamesTheFileAfterTheLastBackslash)
{
    EXPECT_EQ(IniFile("c:\\a\\b\\SysConfig.dat").GetFileName(), "SysConfig.dat");
    EXPECT_EQ(IniFile("SysConfig.dat").GetFileName(), "");
}

TEST(IniFile, WalksNoFurtherThanTheSectionBufferHolds)
{
    // 300 sections of 20-character names need about 6300 bytes of names; the walk
    // sees what fits into its 4096 bytes and ends cleanly.
    TempFolder folder;
    std::string content;
    for (int i = 0; i < 300; ++i)
        content += "[Section_" + std::string(8, 'x') + std::to_string(100 + i) + "]\r\nk=v\r\n";
    WriteFileBytes(folder.File("many.ini"), content);
    IniFile ini(folder.File("many.ini"));
    std::size_t count = 0, bytes = 0;
    for (ini.FirstSection(); !ini.IsSectionEnd(); ini.NextSection())
    {
        bytes += ini.GetSectionName().size() + 1;
        ++count;
    }
    EXPECT_GT(count, 150u);
    EXPECT_LT(count, 300u);
    EXPECT_LT(bytes, 4096u);
}
