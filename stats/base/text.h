// Text helpers shared by every layer of the plug-in. Texts are 8-bit strings in the
// active Windows code page, handled as bytes: only ASCII letters fold, other bytes
// compare as they are.
#pragma once
#include <string>

// Equal ignoring the letter case of ASCII letters.
bool equalsIgnoreCase(const std::string& a, const std::string& b);
// The text without white space (blank, TAB, CR, LF, VT, FF) at either end.
std::string trimBlanks(const std::string& s);
// ASCII letters in upper case; other bytes unchanged.
std::string upperAscii(std::string s);
// Every occurrence of `find` replaced, scanning on after each inserted replacement;
// unchanged when `find` is empty or equals the replacement.
std::string replaceAll(const std::string& text, const std::string& find, const std::string& replacement);
