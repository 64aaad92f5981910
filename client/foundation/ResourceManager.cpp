#include "ResourceManager.h"

#include "ModuleDir.h"

#include <algorithm>
#include <cctype>

namespace
{

const char TEXT_FILE[] = "sysrest.dat";
const char PICTURE_FILE[] = "sysresd.dat";
const char USER_SETTINGS_FILE[] = "DataCardInfo.ini";
const char SYSTEM_SETTINGS_FILE[] = "SysConfig.dat";
const char VALUE_KEY[] = "VALUE";
const char FORMAT_KEY[] = "FORMAT";
const char PRODUCT_NAME_KEY[] = "RXIDS_PRODUCT_NAME";
const char PRODUCT_VERSION_KEY[] = "RXIDS_PRODUCT_VERSION";
const char LANGUAGE_KEY[] = "RXIDS_LANGUAGE";

bool PassesCheck(const std::string& path)
{
    return DataFile(path).CheckMagic();
}

// The kind of a picture file by the last three characters of its path in upper case,
// trailing white space removed; false for any other kind.
bool KindOfPicturePath(const std::string& path, PictureKind& kind)
{
    std::string upper = path;
    while (!upper.empty() && std::isspace(static_cast<unsigned char>(upper.back())))
        upper.pop_back();
    if (upper.size() < 3)
        return false;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string extension = upper.substr(upper.size() - 3);
    if (extension == "BMP")
        kind = PictureKind::Bitmap;
    else if (extension == "ICO")
        kind = PictureKind::Icon;
    else
        return false;
    return true;
}

// A folder is no picture file: an entry without a path names the program's folder.
bool IsFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

ResourceManager::OwnedPicture::OwnedPicture(HANDLE handle, PictureKind kind)
    : m_handle(handle), m_kind(kind)
{
}

// Icons have their own closer; DeleteObject does not free them.
ResourceManager::OwnedPicture::~OwnedPicture()
{
    if (m_kind == PictureKind::Icon)
        DestroyIcon(static_cast<HICON>(m_handle));
    else
        DeleteObject(m_handle);
}

ResourceManager& ResourceManager::Instance()
{
    static ResourceManager instance;
    return instance;
}

ResourceManager::ResourceManager()
    : m_textFile(GetModuleDir() + TEXT_FILE), m_pictureFile(GetModuleDir() + PICTURE_FILE)
{
}

int ResourceManager::CheckFiles()
{
    if (!m_textFile.CheckMagic() || !m_pictureFile.CheckMagic())
        return RESOURCE_DATA_FILE_FAILED;
    if (!PassesCheck(GetModuleDir() + USER_SETTINGS_FILE))
        return RESOURCE_DATA_FILE_FAILED;
    const std::string systemSettings = GetModuleDir() + SYSTEM_SETTINGS_FILE;
    if (!PassesCheck(systemSettings))
        return RESOURCE_DATA_FILE_FAILED;

    m_presets[PRODUCT_VERSION_KEY] =
        DataFile(systemSettings).ReadString(PRODUCT_VERSION_KEY, VALUE_KEY, "");
    m_presets[LANGUAGE_KEY] = m_textFile.ReadString(LANGUAGE_KEY, VALUE_KEY, "");

    if (!LoadPictures())
        return RESOURCE_PICTURE_MISSING;
    return RESOURCE_FILES_OK;
}

TextEntry ResourceManager::LookUpText(const std::string& key) const
{
    TextEntry entry;
    const auto preset = m_presets.find(key);
    if (preset != m_presets.end())
    {
        entry.value = preset->second;
        entry.preset = true;
        return entry;
    }
    entry.value = m_textFile.ReadString(key, VALUE_KEY, "");
    entry.format = m_textFile.ReadString(key, FORMAT_KEY, "");
    return entry;
}

std::string ResourceManager::GetString(const std::string& key) const
{
    return ResolveText(key, [this](const std::string& name) { return LookUpText(name); });
}

std::string ResourceManager::GetRawString(const std::string& key) const
{
    const auto preset = m_presets.find(key);
    if (preset != m_presets.end())
        return preset->second;
    return m_textFile.ReadString(key, VALUE_KEY, "");
}

std::string ResourceManager::GetProductString(const std::string& key) const
{
    return FormatProductText(GetString(key), GetRawString(PRODUCT_NAME_KEY));
}

void ResourceManager::ApplyDialogTexts(HWND window, unsigned templateId) const
{
    const std::string prefix = "IDD" + std::to_string(templateId) + "_";
    SetWindowTextA(window, GetProductString(prefix + "Title").c_str());
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT))
    {
        const unsigned controlId = static_cast<unsigned>(GetDlgCtrlID(child));
        SetWindowTextA(child, GetString(prefix + std::to_string(controlId)).c_str());
    }
}

std::string ResourceManager::GetPicturePath(const std::string& key) const
{
    return GetModuleDir() + m_pictureFile.ReadString(key, VALUE_KEY, "");
}

HANDLE ResourceManager::LoadPicture(const std::string& key, PictureKind kind) const
{
    const UINT type = kind == PictureKind::Icon ? IMAGE_ICON : IMAGE_BITMAP;
    return LoadImageA(nullptr, GetPicturePath(key).c_str(), type, 0, 0, LR_LOADFROMFILE);
}

bool ResourceManager::LoadPictures()
{
    for (m_pictureFile.FirstSection(); !m_pictureFile.IsSectionEnd(); m_pictureFile.NextSection())
    {
        const std::string key = m_pictureFile.GetSectionName();
        const std::string path = GetPicturePath(key);
        if (!IsFile(path))
            return false;
        // A picture already loaded stays: its handle may be lent out.
        PictureKind kind;
        if (!KindOfPicturePath(path, kind) || m_pictures.count(key) != 0)
            continue;
        if (HANDLE handle = LoadPicture(key, kind))
            m_pictures[key] = std::make_unique<OwnedPicture>(handle, kind);
    }
    return true;
}

bool ResourceManager::GetPicture(const std::string& key, SharedPicture& picture) const
{
    picture.Detach();
    const auto found = m_pictures.find(key);
    if (found == m_pictures.end())
        return false;
    picture.Attach(found->second->Get());
    return true;
}
