// Code page 1251, the plug-in's texts as on the operators' Russian Windows: one table for
// every conversion of the project, whatever code page the process runs under.
#pragma once
#include <string>
#include <string_view>

// The character of a byte. Every byte has one: 0x98, the one byte the code page leaves
// unassigned, becomes U+0098, as Windows (MultiByteToWideChar) converts it, so that a
// text comes back byte for byte.
char16_t unicodeFromCp1251(unsigned char byte);

// The byte of a character; false for a character outside the code page.
bool cp1251FromUnicode(char32_t character, unsigned char& byte);

// The plug-in's texts for a UTF-8 terminal or page.
std::string cp1251ToUtf8(std::string_view bytes);
