#pragma once
// Passwords in the settings files: the scramble and the stored form of the
// "Password" value. Windows-free.
//
// A password is kept scrambled, every byte XORed with PASSWORD_MASK. The scrambled
// bytes then have to pass the private-profile functions, which drop leading and
// trailing white space of a value, strip one pair of matching quotation marks, end
// a value at a line break and cannot carry a NUL at all. So the stored form is:
//
// - the scrambled text itself whenever a read returns it unchanged, exactly as
//   files have always held it;
// - otherwise, when it holds no NUL, CR or LF: the scrambled text in one pair of
//   double quotes, which the read strips again (older readers read it right too);
// - otherwise (a password with 'm', 'g' or '`', which scramble to NUL, LF and CR):
//   the escaped form "" DEL escaped-text "", which reads back as " DEL ... ". A read
//   never returns a value wrapped in matching quotes for anything an earlier
//   version could store whole, so this form cannot be mistaken for an older value.
//   In the escaped text NUL, LF, CR and DEL are written as DEL and two upper-case
//   hex digits.

#include <cstddef>
#include <string>

constexpr unsigned char PASSWORD_MASK = 0x6D;

// The longest value a read of the settings files returns whole.
constexpr std::size_t PASSWORD_VALUE_LIMIT = 259;

// out receives in with every byte XORed with the mask; the same call unscrambles.
void ScramblePassword(const std::string& in, std::string& out);

// The value to write for a scrambled password. False, with value empty, when the
// stored form would be longer than a read returns whole.
bool EncodePasswordValue(const std::string& scrambled, std::string& value);

// The scrambled password from a value as the read returned it. False, with
// scrambled empty, for an escaped form that is cut or damaged.
bool DecodePasswordValue(const std::string& value, std::string& scrambled);
