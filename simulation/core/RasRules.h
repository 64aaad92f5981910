#pragma once
// Rules of the remote access service that need no system call: which names a phonebook
// entry may have, the error texts, and the text form of addresses in a phonebook file.

#include <cstdint>
#include <string>

namespace simnet
{

constexpr std::size_t MAX_ENTRY_NAME_LENGTH = 256;

// Refused: an empty or blank name, one longer than 256 characters, one beginning with a
// full stop, and one holding a control character or any of \ / : * ? " < > | [ ].
// The brackets are refused because a phonebook file keeps each entry as an INI section.
bool IsValidEntryName(const std::string& name);

// The text of a remote access error, or null for a code without one.
const char* ErrorText(std::uint32_t code);

// The four address bytes as "a.b.c.d", and back; a text that isn't four numbers of at
// most 255 separated by full stops gives false.
std::string AddressText(const std::uint8_t (&bytes)[4]);
bool ParseAddress(const std::string& text, std::uint8_t (&bytes)[4]);

} // namespace simnet
