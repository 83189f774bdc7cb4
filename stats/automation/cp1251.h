// The host's automation object speaks UTF-16 (BSTR); the plug-in's texts are code page
// 1251 bytes, as on the operators' Russian Windows. These convert between the two with
// the project's one table of the code page (common/cp1251_table.h).
#pragma once
#include <string>
#include <string_view>

namespace automation {

// Every byte has a character: the one byte 1251 leaves unassigned (0x98) becomes U+0098,
// as Windows converts it.
std::u16string utf16FromCp1251(std::string_view bytes);

// Characters outside the code page become '?'; a surrogate pair is one character and
// one '?'.
std::string cp1251FromUtf16(std::u16string_view text);

}  // namespace automation
