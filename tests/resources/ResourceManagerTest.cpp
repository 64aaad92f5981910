#include "ModuleDir.h"
#include "PictureFiles.h"
#include "ResourceManager.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char TEXT_TABLE[] = "[RXIDS_PRODUCT_NAME]\r\nVALUE=TorvikConnect\r\n"
                          "[RXIDS_PRODUCT_VERSION]\r\nVALUE=table version\r\n"
                          "[RXIDS_LANGUAGE]\r\nVALUE=English\\n\r\n"
                          "[LINES]\r\nVALUE=one\\ntwo\\\\nthree\\r\\n\r\n"
                          "[ABOUT]\r\nVALUE=%s %s (%s)\r\n"
                          "FORMAT=%s:RXIDS_PRODUCT_NAME%s:NOSUCHKEY%s:RXIDS_PRODUCT_VERSION\r\n"
                          "[CYCLE]\r\nVALUE=<%s>\r\nFORMAT=%s:cycle\r\n"
                          "[SURPLUS]\r\nVALUE=[%s]\r\nFORMAT=%s:LINES%s:ABOUT\r\n"
                          "[CAPTION_PLAIN]\r\nVALUE=Plain caption\r\n"
                          "[CAPTION_PERCENT]\r\nVALUE=%s - 100%%\r\n"
                          "[CAPTION_CONVERSIONS]\r\nVALUE=%d%n%x%\r\n"
                          "[CAPTION_TWO]\r\nVALUE=%s, %s\r\n"
                          "[IDD105_Title]\r\nVALUE=%s\r\n"
                          "[IDD105_1003]\r\nVALUE=Connect\r\n"
                          "[IDD105_1005]\r\nVALUE=Set\\ntings\r\n"
                          "[IDD105_2]\r\nVALUE=%s\r\nFORMAT=%s:RXIDS_PRODUCT_NAME\r\n";

const char PICTURE_TABLE[] = "[RXIDB_BG_BGD]\r\nVALUE=res\\bg.BMP\r\n"
                             "[RXIDB_LOWER]\r\nVALUE=res\\lower.bmp\r\n"
                             "[RXIDB_ICON]\r\nVALUE=res\\app.ico\r\n"
                             "[RXIDB_TEXT]\r\nVALUE=res\\readme.txt\r\n"
                             "[RXIDB_BROKEN]\r\nVALUE=res\\broken.bmp\r\n";

std::string InModuleDir(const std::string& name)
{
    return GetModuleDir() + name;
}

// The manager is one object per process bound to the program's folder: the suite
// sets up its files there once and runs the start-up check once.
class ResourceManagerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CreateDirectoryA(InModuleDir("res").c_str(), nullptr);
        WriteFileBytes(InModuleDir("sysrest.dat"), TEXT_TABLE);
        WriteFileBytes(InModuleDir("sysresd.dat"), PICTURE_TABLE);
        WriteFileBytes(InModuleDir("SysConfig.dat"), "[RXIDS_PRODUCT_VERSION]\r\nVALUE=1.2.3\r\n");
        WriteFileBytes(InModuleDir("DataCardInfo.ini"), "");
        WriteFileBytes(InModuleDir("sysmagic.dat"),
                       "[Magic]\r\nsysrest.dat=-1\r\nsysresd.dat=-1\r\n"
                       "DataCardInfo.ini=-1\r\nSysConfig.dat=-1\r\n");
        WriteFileBytes(InModuleDir("res\\bg.BMP"), MakeBitmapFile(30, 20));
        WriteFileBytes(InModuleDir("res\\lower.bmp"), MakeBitmapFile(3, 2));
        WriteFileBytes(InModuleDir("res\\app.ico"), MakeIconFile());
        WriteFileBytes(InModuleDir("res\\readme.txt"), "not a picture");
        WriteFileBytes(InModuleDir("res\\broken.bmp"), "BM not really");
        s_checkResult = ResourceManager::Instance().CheckFiles();
    }

    static void TearDownTestSuite()
    {
        for (const char* name :
             {"sysrest.dat", "sysresd.dat", "SysConfig.dat", "DataCardInfo.ini", "sysmagic.dat"})
            RemoveFile(InModuleDir(name));
        RemoveFolder(InModuleDir("res\\"));
    }

    void TearDown() override { WriteFileBytes(InModuleDir("sysrest.dat"), TEXT_TABLE); }

    static ResourceManager& Manager() { return ResourceManager::Instance(); }

    static int s_checkResult;
};

int ResourceManagerTest::s_checkResult = -1;

std::string WindowText(HWND window)
{
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

} // namespace

TEST_F(ResourceManagerTest, PassesTheStartUpCheckAndFixesThePresets)
{
    EXPECT_EQ(s_checkResult, RESOURCE_FILES_OK);
    // The version comes from SysConfig.dat although the text table has the key too;
    // the language is taken as it stands, its "\n" not replaced.
    EXPECT_EQ(Manager().GetString("RXIDS_PRODUCT_VERSION"), "1.2.3");
    EXPECT_EQ(Manager().GetRawString("RXIDS_PRODUCT_VERSION"), "1.2.3");
    EXPECT_EQ(Manager().GetString("RXIDS_LANGUAGE"), "English\\n");
    // Presets match the key exactly; the table's sections ignore case.
    EXPECT_EQ(Manager().GetString("rxids_product_version"), "table version");
}

TEST_F(ResourceManagerTest, LooksTextsUpWithEscapesReferencesAndTheProductName)
{
    const struct
    {
        const char* key;
        const char* text;    // GetString
        const char* caption; // GetProductString
    } cases[] = {
        {"LINES", "one\ntwo\\\nthree\r\n", "one\ntwo\\\nthree\r\n"},
        {"ABOUT", "TorvikConnect %s (1.2.3)", "TorvikConnect TorvikConnect (1.2.3)"},
        {"CYCLE", "<%s>", "<TorvikConnect>"},
        {"SURPLUS", "[one\ntwo\\\nthree\r\n]", "[one\ntwo\\\nthree\r\n]"},
        {"NOSUCHKEY", "", ""},
        {"CAPTION_PLAIN", "Plain caption", "Plain caption"},
        {"CAPTION_PERCENT", "%s - 100%%", "TorvikConnect - 100%"},
        {"CAPTION_CONVERSIONS", "%d%n%x%", "%d%n%x%"},
        {"CAPTION_TWO", "%s, %s", "TorvikConnect, TorvikConnect"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Manager().GetString(c.key), c.text) << c.key;
        EXPECT_EQ(Manager().GetProductString(c.key), c.caption) << c.key;
    }
}

TEST_F(ResourceManagerTest, GetRawStringLeavesTheValueAsItStands)
{
    EXPECT_EQ(Manager().GetRawString("LINES"), "one\\ntwo\\\\nthree\\r\\n");
    EXPECT_EQ(Manager().GetRawString("ABOUT"), "%s %s (%s)");
    EXPECT_EQ(Manager().GetRawString("NOSUCHKEY"), "");
}

TEST_F(ResourceManagerTest, SeesLaterEditsOfTheTextTableAtOnce)
{
    EXPECT_EQ(Manager().GetString("CAPTION_PLAIN"), "Plain caption");
    WriteFileBytes(InModuleDir("sysrest.dat"), "[CAPTION_PLAIN]\r\nVALUE=Edited\r\n");
    EXPECT_EQ(Manager().GetString("CAPTION_PLAIN"), "Edited");
}

TEST_F(ResourceManagerTest, ApplyDialogTextsSetsCaptionAndDirectChildren)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    HWND dialog = CreateWindowExA(0, "STATIC", "template caption", WS_OVERLAPPEDWINDOW, 0, 0, 300,
                                  200, nullptr, nullptr, instance, nullptr);
    ASSERT_NE(dialog, nullptr);
    auto child = [&](HWND parent, int id, const char* text)
    {
        return CreateWindowExA(0, "BUTTON", text, WS_CHILD, 0, 0, 50, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance,
                               nullptr);
    };
    HWND connect = child(dialog, 1003, "template");
    HWND settings = child(dialog, 1005, "template");
    HWND exitButton = child(dialog, 2, "template");
    HWND unnamed = child(dialog, 65535, "template");
    HWND grandchild = child(connect, 1005, "inner");
    ASSERT_TRUE(connect && settings && exitButton && unnamed && grandchild);

    Manager().ApplyDialogTexts(dialog, 105);

    EXPECT_EQ(WindowText(dialog), "TorvikConnect");
    EXPECT_EQ(WindowText(connect), "Connect");
    EXPECT_EQ(WindowText(settings), "Set\ntings");
    EXPECT_EQ(WindowText(exitButton), "TorvikConnect");
    EXPECT_EQ(WindowText(unnamed), "") << "a control without a key gets an empty text";
    EXPECT_EQ(WindowText(grandchild), "inner") << "grandchildren are not visited";

    Manager().ApplyDialogTexts(dialog, 999);
    EXPECT_EQ(WindowText(dialog), "") << "a caption without a key is emptied too";
    DestroyWindow(dialog);
}

TEST_F(ResourceManagerTest, LoadsListedBitmapsAndIconsInTheirOwnSize)
{
    SharedPicture background;
    ASSERT_TRUE(Manager().GetPicture("RXIDB_BG_BGD", background));
    BITMAP info = {};
    ASSERT_EQ(GetObjectA(background.GetBitmap(), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 30);
    EXPECT_EQ(info.bmHeight, 20);

    SharedPicture lower;
    ASSERT_TRUE(Manager().GetPicture("RXIDB_LOWER", lower)) << "a .bmp in lower case is a bitmap";
    ASSERT_EQ(GetObjectA(lower.GetBitmap(), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);

    SharedPicture icon;
    ASSERT_TRUE(Manager().GetPicture("RXIDB_ICON", icon));
    ICONINFO iconInfo = {};
    ASSERT_TRUE(GetIconInfo(icon.GetIcon(), &iconInfo));
    DeleteObject(iconInfo.hbmColor);
    DeleteObject(iconInfo.hbmMask);

    EXPECT_EQ(Manager().GetPicturePath("RXIDB_ICON"), InModuleDir("res\\app.ico"));
}

TEST_F(ResourceManagerTest, LeavesOutPicturesOfOtherKindsAndUnreadableFiles)
{
    SharedPicture picture;
    const char* keys[] = {"RXIDB_TEXT", "RXIDB_BROKEN", "RXIDB_NOSUCHKEY"};
    for (const char* key : keys)
    {
        ASSERT_TRUE(Manager().GetPicture("RXIDB_BG_BGD", picture));
        EXPECT_FALSE(Manager().GetPicture(key, picture)) << key;
        EXPECT_TRUE(picture.IsEmpty()) << key;
    }
}

TEST_F(ResourceManagerTest, LendsSharedPicturesThatOutliveTheirBorrowers)
{
    HANDLE shared = nullptr;
    {
        SharedPicture borrowed;
        ASSERT_TRUE(Manager().GetPicture("RXIDB_BG_BGD", borrowed));
        shared = borrowed.Get();
    }
    SharedPicture again;
    ASSERT_TRUE(Manager().GetPicture("RXIDB_BG_BGD", again));
    EXPECT_EQ(again.Get(), shared);
    BITMAP info = {};
    EXPECT_EQ(GetObjectA(shared, sizeof info, &info), int(sizeof info)) << "still a live bitmap";

    // LoadPicture hands out a new handle each time; that one belongs to the caller.
    HANDLE own = Manager().LoadPicture("RXIDB_BG_BGD", PictureKind::Bitmap);
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own, shared);
    DeleteObject(own);
    EXPECT_EQ(Manager().LoadPicture("RXIDB_NOSUCHKEY", PictureKind::Bitmap), nullptr);
}
