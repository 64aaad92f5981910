#pragma once
// Phonebooks as INI-syntax files: one section per entry, one key per field that this
// system uses. A null or empty path names the default phonebook.

#include "RasRecords.h"

#include <string>

namespace phonebook
{

// The file of a phonebook: the path given, or the default phonebook
// "<common application data>\Microsoft\Network\Connections\Pbk\rasphone.pbk".
std::string FilePath(LPCSTR phonebookPath);

bool EntryExists(const std::string& file, const std::string& entryName);
// The entry's fields into a zeroed record whose size field is already set.
void ReadEntry(const std::string& file, const std::string& entryName, RASENTRYA& entry);
// Replaces the entry; creates the file and its folders when they are missing.
bool WriteEntry(const std::string& file, const std::string& entryName, const RASENTRYA& entry);
bool DeleteEntry(const std::string& file, const std::string& entryName);
// Keeps the user name, the domain and (unless removed) the password with the entry.
bool WriteCredentials(const std::string& file, const RASDIALPARAMSA& params, bool removePassword);

} // namespace phonebook
