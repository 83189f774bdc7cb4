// Small text helpers shared by the log readers, the country file and the command line.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace replay {

std::string_view trim(std::string_view s);
std::string toUpper(std::string_view s);
std::string toLower(std::string_view s);
bool iequals(std::string_view a, std::string_view b);
bool istartsWith(std::string_view s, std::string_view prefix);
std::vector<std::string_view> splitWhitespace(std::string_view s);

// Digits only, no sign, no overflow past 64 bits.
bool parseUnsigned(std::string_view s, uint64_t& out);

// "123", "123.4567": a non-negative decimal scaled by 10^scale and rounded half up,
// so "14.0805" MHz with scale 6 gives exactly 14080500 Hz. No floating point on the way.
bool parseDecimalScaled(std::string_view s, int scale, uint64_t& out);

// The plug-in's texts are in code page 1251; a UTF-8 terminal wants them converted.
std::string cp1251ToUtf8(std::string_view s);

// Text as it may be shown inside quotes in a message: control bytes (a terminal's
// escape sequences among them) become \xNN, and long text is cut with "...".
std::string printable(std::string_view s, size_t maxLength = 60);

// The next line of a text from pos, without its end; CR LF, LF and a lone CR all end a
// line, as loggers on every system write them. False at the end of the text.
bool nextLine(std::string_view text, size_t& pos, std::string_view& line);

// Line ends of a text for this system's console: CR LF on Windows, LF elsewhere.
std::string consoleLineEnds(std::string_view text);

}  // namespace replay
