#pragma once
// Every user-visible text and picture of the connection manager, by key: texts from
// the text table "sysrest.dat", pictures listed in the picture table "sysresd.dat",
// both in the program's folder. One object per process.

#include "DataFile.h"
#include "Handles.h"
#include "TextExpansion.h"

#include <map>
#include <memory>
#include <string>

// Results of CheckFiles.
constexpr int RESOURCE_FILES_OK = 0;
constexpr int RESOURCE_DATA_FILE_FAILED = 1001;
constexpr int RESOURCE_PICTURE_MISSING = 1004;

enum class PictureKind
{
    Bitmap,
    Icon
};

// A picture lent by the ResourceManager: refers to a shared handle and never
// deletes it.
class SharedPicture
{
public:
    SharedPicture() = default;

    HANDLE Get() const { return m_handle; }
    HBITMAP GetBitmap() const { return static_cast<HBITMAP>(m_handle); }
    HICON GetIcon() const { return static_cast<HICON>(m_handle); }
    bool IsEmpty() const { return m_handle == nullptr; }

    void Attach(HANDLE handle) { m_handle = handle; }
    void Detach() { m_handle = nullptr; }

private:
    HANDLE m_handle = nullptr;
};

class ResourceManager
{
public:
    static ResourceManager& Instance();

    ResourceManager(const ResourceManager&) = delete;
    ResourceManager& operator=(const ResourceManager&) = delete;

    // The start-up check: RESOURCE_FILES_OK, RESOURCE_DATA_FILE_FAILED for the first data
    // file that fails its checksum, RESOURCE_PICTURE_MISSING for the first listed picture
    // whose file is missing. Fixes the preset texts and loads the pictures.
    int CheckFiles();

    // The text of a key with escapes and FORMAT references; empty when missing.
    std::string GetString(const std::string& key) const;
    // The preset, or the table's VALUE unchanged.
    std::string GetRawString(const std::string& key) const;
    // GetString with every "%s" replaced by the product name and "%%" by "%".
    std::string GetProductString(const std::string& key) const;
    // Sets the caption from "IDD<id>_Title" and each direct child's text from
    // "IDD<id>_<control id>".
    void ApplyDialogTexts(HWND window, unsigned templateId) const;

    std::string GetPicturePath(const std::string& key) const;
    // A new handle loaded from the picture's file in its own size, or null. The caller
    // owns it.
    HANDLE LoadPicture(const std::string& key, PictureKind kind) const;
    // Loads every listed bitmap and icon; false when a listed file is missing.
    bool LoadPictures();
    // Lends the picture of the key; false, with the wrapper empty, when there is none.
    bool GetPicture(const std::string& key, SharedPicture& picture) const;

private:
    ResourceManager();
    ~ResourceManager() = default;

    // Owns one loaded picture and frees it with the closer of its kind.
    class OwnedPicture
    {
    public:
        OwnedPicture(HANDLE handle, PictureKind kind);
        ~OwnedPicture();
        OwnedPicture(const OwnedPicture&) = delete;
        OwnedPicture& operator=(const OwnedPicture&) = delete;
        HANDLE Get() const { return m_handle; }

    private:
        HANDLE m_handle;
        PictureKind m_kind;
    };

    TextEntry LookUpText(const std::string& key) const;

    DataFile m_textFile;
    DataFile m_pictureFile;
    std::map<std::string, std::unique_ptr<OwnedPicture>> m_pictures;
    std::map<std::string, std::string> m_presets;
};
