#include "automation/cp1251.h"

#include "cp1251_table.h"

namespace automation {

std::u16string utf16FromCp1251(std::string_view bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char b : bytes) out.push_back(unicodeFromCp1251(static_cast<unsigned char>(b)));
    return out;
}

std::string cp1251FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        // A high surrogate followed by a low one is a single character off the page.
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
        unsigned char b = 0;
        out.push_back(cp1251FromUnicode(c, b) ? static_cast<char>(b) : '?');
    }
    return out;
}

}  // namespace automation
