#pragma once
// Small file helpers for tests that set up real files in the Wine prefix.

#include <string>

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& content);
// Both throw std::runtime_error when the system refuses.
void CopyFileBytes(const std::string& source, const std::string& target);
void MakeFolder(const std::string& path);
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);
// Removes a folder (path with a trailing backslash) with everything in it.
void RemoveFolder(const std::string& folder);

// A fresh, empty folder under the system's temporary folder, removed with
// everything in it when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a trailing backslash.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};
