// ASCII text helpers shared by the plug-in and the replay tool. Texts are 8-bit strings
// (code page 1251 in the plug-in, UTF-8 in the tool) handled as bytes: only ASCII
// letters fold, other bytes compare as they are.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text without white space (blank, TAB, CR, LF, VT, FF) at either end.
std::string_view trim(std::string_view s);
std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view s, std::string_view prefix);
std::vector<std::string_view> splitWhitespace(std::string_view s);

// Every occurrence of `find` replaced, scanning on after each inserted replacement;
// unchanged when `find` is empty or equals the replacement.
std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement);

// Digits only, no sign, no overflow past 64 bits.
bool parseUnsigned(std::string_view s, uint64_t& out);

// "123", "123.4567": a non-negative decimal scaled by 10^scale and rounded half up,
// so "14.0805" MHz with scale 6 gives exactly 14080500 Hz. No floating point on the way.
bool parseDecimalScaled(std::string_view s, int scale, uint64_t& out);

// Text as it may be shown inside quotes in a message: control bytes (a terminal's
// escape sequences among them) become \xNN, and long text is cut with "...".
std::string printable(std::string_view s, size_t maxLength = 60);

// The next line of a text from pos, without its end; CR LF, LF and a lone CR all end a
// line, as loggers on every system write them. False at the end of the text.
bool nextLine(std::string_view text, size_t& pos, std::string_view& line);

// Line ends of a text for this system's console: CR LF on Windows, LF elsewhere.
std::string consoleLineEnds(std::string_view text);
