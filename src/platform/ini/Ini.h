// INI files with the behaviour the profile code relies on: names match
// without regard to case and the first occurrence wins, reads always see
// the file as it is on disk, and a write replaces the file atomically.
// A parsed file is kept and parsed again only when it changed on disk, so
// readers on many threads share it without waiting for one another; writes
// of one process take turns. Folders, FIFOs and other files that are not
// plain files are refused. File names are the system's paths (see HostPath).
#pragma once

#include <cstdint>
#include <string>

// Integer value of a key: sign, decimal or "0x" hex, wrapped to 32 bits;
// the default only when the key is missing.
[[nodiscard]] unsigned GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                               const char* fileName);
// The value cut to size - 1 characters, or the default when the key is
// missing; returns the characters stored.
unsigned GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                                  char* buffer, unsigned size, const char* fileName);
// Creates the file, section and key as needed; a null key removes the
// section and a null value the key. With no section, key nor value it makes
// the file as written durable: a power cut keeps it. Non-zero on success.
[[nodiscard]] int WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                               const char* fileName);
// Section names each ended by a NUL and the list by a second NUL; returns the
// characters stored, size - 2 when the buffer was too small.
unsigned GetPrivateProfileSectionNamesA(char* buffer, unsigned size, const char* fileName);

// Number parsing of the integer read: with hexFlag "0x" introduces hex digits.
// False when the text holds no digits.
[[nodiscard]] bool StrToIntExA(const char* text, int hexFlag, int* result);

namespace Tessor::IO {

// Text of the last failure of an INI call on this thread.
const char* iniLastErrorText();

}  // namespace Tessor::IO
