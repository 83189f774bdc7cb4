#include "windows/wide_text.h"

#include "automation/cp1251.h"

std::wstring wideFromCp1251(const std::string& text) {
    const std::u16string wide = automation::utf16FromCp1251(text);
    return std::wstring(wide.begin(), wide.end());
}

std::string windowTextCp1251(HWND window) {
    if (!window) return std::string();
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return std::string();
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const int copied = GetWindowTextW(window, reinterpret_cast<wchar_t*>(&text[0]), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return automation::cp1251FromUtf16(text);
}

void setWindowTextCp1251(HWND window, const std::string& text) {
    // The dialogs' own procedure is an ANSI one: WM_SETTEXT through it would narrow the
    // text to the active code page again. The default procedure stores it as it is.
    DefWindowProcW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideFromCp1251(text).c_str()));
}

void setItemTextCp1251(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, wideFromCp1251(text).c_str());
}

void textOutCp1251(HDC dc, int x, int y, const std::string& text) {
    const std::wstring wide = wideFromCp1251(text);
    TextOutW(dc, x, y, wide.data(), static_cast<int>(wide.size()));
}
