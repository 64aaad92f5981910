#include "Crc32.h"
#include "IniFile.h"
#include "ModuleDir.h"
#include "ResourceIds.h"
#include "ResourceManager.h"
#include "TestFiles.h"
#include "TestProcess.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <functional>
#include <string>

namespace
{

const char* const SHIPPED_FILES[] = {"sysrest.dat",      "sysresd.dat",  "SysConfig.dat",
                                     "DataCardInfo.ini", "sysmagic.dat", "res\\Background.bmp",
                                     "res\\Logo.bmp"};

// The build's bin folder, where the shipped files lie next to the programs.
std::string ShippedFolder()
{
    const char* bin = std::getenv("TC_BIN_DIR");
    return bin != nullptr ? WindowsPathOf(bin) + "\\" : std::string();
}

std::string CrcText(const std::string& path)
{
    return std::to_string(Crc32().FileCrc(path));
}

void ChangeOneByte(const std::string& path)
{
    std::string content = ReadFileBytes(path);
    content[content.size() / 2] ^= 0x01;
    WriteFileBytes(path, content);
}

// A program folder made of copies of the shipped files and of the start-up check
// probe, so the probe checks them as the connection manager would at start-up.
class ProgramFolder
{
public:
    ProgramFolder()
    {
        CreateDirectoryA(m_folder.File("res").c_str(), nullptr);
        for (const char* name : SHIPPED_FILES)
            CopyFileA((ShippedFolder() + name).c_str(), File(name).c_str(), FALSE);
        CopyFileA((GetModuleDir() + "resource_check_probe.exe").c_str(),
                  File("resource_check_probe.exe").c_str(), FALSE);
    }

    std::string File(const std::string& name) const { return m_folder.File(name); }

    // Writes the checksum table anew for the two resource files, as the build does.
    void UpdateMagic(const std::string& section, const std::string& key,
                     const std::string& value) const
    {
        IniFile(File("sysmagic.dat")).WriteString(section, key, value);
    }

    // Adds a picture to the picture table and its sum to the checksum table.
    void ListPicture(const std::string& key, const std::string& path) const
    {
        IniFile(File("sysresd.dat")).WriteString(key, "VALUE", path);
        UpdateMagic("Magic", "sysresd.dat", CrcText(File("sysresd.dat")));
    }

    DWORD RunCheck() const
    {
        return RunToExit("\"" + File("resource_check_probe.exe") + "\"", m_folder.Path());
    }

private:
    TempFolder m_folder;
};

} // namespace

TEST(ShippedFiles, ChecksumTableHoldsTheCrcOfEachResourceFile)
{
    const std::string bin = ShippedFolder();
    ASSERT_FALSE(bin.empty()) << "TC_BIN_DIR names the build's bin folder";
    const IniFile magic(bin + "sysmagic.dat");
    EXPECT_EQ(magic.ReadString("Magic", "sysrest.dat", ""), CrcText(bin + "sysrest.dat"));
    EXPECT_EQ(magic.ReadString("Magic", "sysresd.dat", ""), CrcText(bin + "sysresd.dat"));
    EXPECT_EQ(magic.ReadString("Magic", "DataCardInfo.ini", ""), "-1");
    EXPECT_EQ(magic.ReadString("Magic", "SysConfig.dat", ""), "-1");
}

TEST(ShippedFiles, TextTableHoldsEveryKeyTheProgramUses)
{
    const char* const keys[] = {"RXIDS_PRODUCT_NAME",
                                "RXIDS_LANGUAGE",
                                "RXIDS_NetConnect_Name",
                                "RXIDS_USBHardWareID_Name",
                                "RXIDS_ModemHardWareID_Name",
                                "RXIDS_2KModemHardWareID_Name",
                                "RXIDS_PortHardWareID_XP_Name",
                                "RXIDS_PortHardWareID_98_Name",
                                "RXIDS_NEED_LOGO",
                                "RXIDS_NETWORK_SET_MODE",
                                "RXIDS_TOOLBAR_LINK",
                                "RXIDS_TOOLBAR_UNLINK",
                                "RXIDS_DS_INITDevice",
                                "RXIDS_DS_Connecting",
                                "RXIDS_DS_Disconnecting",
                                "RXIDS_DSS_HadDISCONNECTED",
                                "RXIDS_DSS_OPENPORT",
                                "RXIDS_DSS_PORTOPENED",
                                "RXIDS_DSS_CONNECTDEVICE",
                                "RXIDS_DSS_DEVICECONNECTED",
                                "RXIDS_DSS_ALLDEVICESCONNECTED",
                                "RXIDS_DSS_AUTHENTICATE",
                                "RXIDS_DSS_AUTHNOTIFY",
                                "RXIDS_DSS_AUTHRETRY",
                                "RXIDS_DSS_AUTHCALLBACK",
                                "RXIDS_DSS_AUTHCHANGEPASSWORD",
                                "RXIDS_DSS_AUTHPROJECT",
                                "RXIDS_DSS_AUTHLINKSPEED",
                                "RXIDS_DSS_AUTHACK",
                                "RXIDS_DSS_REAUTHENTICATE",
                                "RXIDS_DSS_AUTHENTICATED",
                                "RXIDS_DSS_PREPAREFORCALLBACK",
                                "RXIDS_DSS_WAITFORMODEMRESET",
                                "RXIDS_DSS_WAITFORCALLBACK",
                                "RXIDS_DSS_INTERACTIVE",
                                "RXIDS_DSS_RETRYAUTHENTICATION",
                                "RXIDS_DSS_CALLBACKSETBYCALLER",
                                "RXIDS_DSS_PASSWORDEXPIRED",
                                "RXIDS_DSS_CONNECTED",
                                "RXIDS_DSS_DISCONNECTED",
                                "RXIDS_PROMPT",
                                "RXIDS_ERROR_PROMPT",
                                "RXIDS_DS_DIAL_FAILED",
                                "RXIDS_DS_NOPROFILE",
                                "RXIDS_DS_DISCONN_CONFIRM",
                                "RXIDS_DS_DISCONNING_PROMPT",
                                "RXIDS_POWER_SUSPEND_TEXT",
                                "RXIDS_CANNOT_SAVE_UNICODE",
                                "RXIDS_ADRBK_ERROR_CHECK",
                                "RXIDS_NS_PROFILE_EMPTY",
                                "RXIDS_NS_PROFILE_ALREADYEXIST",
                                "RXIDS_NS_PROFILE_ERROR",
                                "RXIDS_NS_ANP_NOEMPTY",
                                "RXIDS_NS_IP_NOEMPTY",
                                "RXIDS_NS_DNS_NOEMPTY",
                                "RXIDS_NS_WINS_NOEMPTY",
                                "RXIDS_NS_ST_PROFILE",
                                "RXIDS_NS_ST_DEFAULT_PROFILE",
                                "IDD105_Title",
                                "IDD105_1003",
                                "IDD105_1005",
                                "IDD105_2",
                                "IDD103_Title"};
    const IniFile texts(ShippedFolder() + "sysrest.dat");
    for (const char* key : keys)
        EXPECT_NE(texts.ReadString(key, "VALUE", ""), "") << key;

    const char* const hardwareIds[] = {
        "RXIDS_USBHardWareID_Name", "RXIDS_ModemHardWareID_Name", "RXIDS_2KModemHardWareID_Name",
        "RXIDS_PortHardWareID_XP_Name", "RXIDS_PortHardWareID_98_Name"};
    for (const char* key : hardwareIds)
    {
        const std::string id = texts.ReadString(key, "VALUE", "");
        for (char c : id)
            EXPECT_FALSE(std::isupper(static_cast<unsigned char>(c))) << key << " " << id;
        EXPECT_EQ(id.rfind("usb\\vid_7c3e&pid_", 0), 0u) << key << " " << id;
    }
}

// Every control that shows a text has one under "IDD<template>_<control>"; the fields
// the user fills in have none, since a text there would be taken for an entry.
TEST(ShippedFiles, TextTableLabelsTheControlsOfBothDialogs)
{
    const unsigned labelled105[] = {IDC_BTN_DSDIAL, IDCANCEL, IDOK, IDC_BTN_SETTINGS};
    const unsigned labelled103[] = {IDC_PROFILE_GROUP,
                                    IDC_APN_GROUP,
                                    IDC_APN_DYNAMIC,
                                    IDC_APN_STATIC,
                                    IDC_APN_LABEL,
                                    IDC_AUTH_GROUP,
                                    IDC_NUMBER_LABEL,
                                    IDC_USERNAME_LABEL,
                                    IDC_PASSWORD_LABEL,
                                    IDC_IP_GROUP,
                                    IDC_IP_DYNAMIC,
                                    IDC_IP_STATIC,
                                    IDC_IP_LABEL,
                                    IDC_PROTOCOL_GROUP,
                                    IDC_PROTOCOL_CHAP,
                                    IDC_PROTOCOL_PAP,
                                    IDC_DNS_GROUP,
                                    IDC_DNS_DYNAMIC,
                                    IDC_DNS_STATIC,
                                    IDC_DNS_PRIMARY_LABEL,
                                    IDC_DNS_SECONDARY_LABEL,
                                    IDC_WINS_GROUP,
                                    IDC_WINS_DYNAMIC,
                                    IDC_WINS_STATIC,
                                    IDC_WINS_PRIMARY_LABEL,
                                    IDC_WINS_SECONDARY_LABEL,
                                    IDC_BTN_NEW,
                                    IDC_BTN_REMOVE,
                                    IDC_BTN_MODIFY,
                                    IDC_BTN_SAVE,
                                    IDC_BTN_VIEW_OK,
                                    IDC_BTN_EDIT_CANCEL,
                                    IDOK,
                                    IDCANCEL};
    const unsigned entries103[] = {IDC_PROFILE_LIST, IDC_PROFILE_NAME,  IDC_APN,
                                   IDC_NUMBER,       IDC_USERNAME,      IDC_PASSWORD,
                                   IDC_IP_ADDRESS,   IDC_DNS_PRIMARY,   IDC_DNS_SECONDARY,
                                   IDC_WINS_PRIMARY, IDC_WINS_SECONDARY};

    const IniFile texts(ShippedFolder() + "sysrest.dat");
    auto text = [&](unsigned dialog, unsigned control)
    {
        return texts.ReadString("IDD" + std::to_string(dialog) + "_" + std::to_string(control),
                                "VALUE", "");
    };
    for (const unsigned control : labelled105)
        EXPECT_NE(text(IDD_DSDIAL, control), "") << control;
    for (const unsigned control : labelled103)
        EXPECT_NE(text(IDD_NETSET, control), "") << control;
    for (const unsigned control : entries103)
        EXPECT_EQ(text(IDD_NETSET, control), "") << control;
    EXPECT_EQ(text(IDD_DSDIAL, IDC_STATIC_ANY), "");
}

TEST(ShippedFiles, SystemSettingsNameTheModemAndADialableProfile)
{
    const IniFile settings(ShippedFolder() + "SysConfig.dat");
    EXPECT_EQ(settings.ReadString("Hardware", "Hardware ID", ""), "usb\\vid_7c3e&pid_1010");
    EXPECT_NE(settings.ReadString("RXIDS_PRODUCT_VERSION", "VALUE", ""), "");
    EXPECT_NE(settings.ReadString("ModemName", "ModemName_1", ""), "");
    const std::string profile = settings.ReadString("Profiles", "Default", "");
    ASSERT_NE(profile, "");
    EXPECT_EQ(settings.ReadString(profile, "Number", ""), "*99#");
    EXPECT_NE(settings.ReadString(profile, "IP Dynamic", ""), "");
    EXPECT_NE(settings.ReadString(profile, "Apn", ""), "");
}

TEST(CheckFiles, AnswersForProgramFoldersInTheOrderOfItsChecks)
{
    ASSERT_FALSE(ShippedFolder().empty()) << "TC_BIN_DIR names the build's bin folder";
    const struct
    {
        const char* name;
        std::function<void(const ProgramFolder&)> change;
        DWORD expected;
    } cases[] = {
        {"the shipped files", [](const ProgramFolder&) {}, RESOURCE_FILES_OK},
        {"a changed byte in the text table",
         [](const ProgramFolder& f) { ChangeOneByte(f.File("sysrest.dat")); },
         RESOURCE_DATA_FILE_FAILED},
        {"a changed byte in the picture table",
         [](const ProgramFolder& f) { ChangeOneByte(f.File("sysresd.dat")); },
         RESOURCE_DATA_FILE_FAILED},
        {"no checksum table", [](const ProgramFolder& f) { RemoveFile(f.File("sysmagic.dat")); },
         RESOURCE_DATA_FILE_FAILED},
        {"changed settings files, which are exempt",
         [](const ProgramFolder& f)
         {
             ChangeOneByte(f.File("SysConfig.dat"));
             ChangeOneByte(f.File("DataCardInfo.ini"));
         },
         RESOURCE_FILES_OK},
        {"a user settings file that no longer matches a sum",
         [](const ProgramFolder& f) { f.UpdateMagic("Magic", "DataCardInfo.ini", "12345"); },
         RESOURCE_DATA_FILE_FAILED},
        {"a system settings file that no longer matches a sum",
         [](const ProgramFolder& f) { f.UpdateMagic("Magic", "SysConfig.dat", "12345"); },
         RESOURCE_DATA_FILE_FAILED},
        {"a missing logo", [](const ProgramFolder& f) { RemoveFile(f.File("res\\Logo.bmp")); },
         RESOURCE_PICTURE_MISSING},
        {"a changed text table and a missing logo",
         [](const ProgramFolder& f)
         {
             ChangeOneByte(f.File("sysrest.dat"));
             RemoveFile(f.File("res\\Logo.bmp"));
         },
         RESOURCE_DATA_FILE_FAILED},
        {"a listed picture of another kind that is missing",
         [](const ProgramFolder& f) { f.ListPicture("RXIDB_HELP", "res\\help.png"); },
         RESOURCE_PICTURE_MISSING},
        {"a listed picture of another kind that exists",
         [](const ProgramFolder& f)
         {
             f.ListPicture("RXIDB_HELP", "res\\help.png");
             WriteFileBytes(f.File("res\\help.png"), "png");
         },
         RESOURCE_FILES_OK},
    };
    for (const auto& c : cases)
    {
        ProgramFolder folder;
        c.change(folder);
        EXPECT_EQ(folder.RunCheck(), c.expected) << c.name;
    }
}
