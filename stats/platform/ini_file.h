// A reader and writer of the classic profile-file format ("[Section]" lines and
// "key=value" lines) with the rules of the Windows private-profile functions:
// section and key names ignore letter case, values are trimmed of blanks and cut to
// 99 characters on reading, a write replaces the key in place or appends it, and a
// missing file is created (its folder is not). A write replaces the file whole through
// a temporary file, so a failed write leaves the previous file as it was; a read-only
// file is not written.
#pragma once
#include <string>

namespace ini {
// Empty text when the file, section or key is missing.
std::string read(const std::string& path, const std::string& section, const std::string& key);
// False when the file could not be written.
bool write(const std::string& path, const std::string& section, const std::string& key, const std::string& value);
}  // namespace ini
