#include "windows/cabrillo_dialog.h"

#include <vector>

#include "resources/resource.h"
#include "windows/wide_text.h"

namespace {

// Upper case in the active code page, as the list's own search compares.
std::string upper(std::string s) {
    if (!s.empty()) CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string listEntry(HWND combo, int index) {
    const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length <= 0) return std::string();
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

}  // namespace

bool Cabrillo::run() { return runModal(IDD_CABRILLO, callersActiveWindow()) == IDOK; }

void Cabrillo::fillList(int comboId, int firstStringId) {
    const HWND combo = item(comboId);
    const HINSTANCE module = ownModule();
    for (int id = firstStringId;; ++id) {
        // With no buffer, LoadString hands out the resource's own text and its length.
        const wchar_t* text = nullptr;
        const int length = LoadStringW(module, static_cast<UINT>(id), reinterpret_cast<LPWSTR>(&text), 0);
        if (length <= 0 || !text) break;
        const std::wstring entry(text, static_cast<size_t>(length));
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
}

void Cabrillo::showChoice(int comboId, const std::string& value) {
    const HWND combo = item(comboId);
    const std::string wanted = upper(value);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (upper(listEntry(combo, static_cast<int>(i))).compare(0, wanted.size(), wanted) == 0) {
            SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
            return;
        }
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SetWindowTextW(combo, wideFromCp1251(value).c_str());
}

bool Cabrillo::onInit() {
    fillList(IDC_CATEGORY, IDS_CATEGORY_FIRST);
    fillList(IDC_ARRL_SECTION, IDS_ARRL_SECTION_FIRST);

    setItemText(IDC_CONTEST, values_.contest);
    setItemText(IDC_CALLSIGN, values_.callsign);
    setItemText(IDC_CLAIMED, values_.claimed);
    showChoice(IDC_CATEGORY, values_.category);
    showChoice(IDC_ARRL_SECTION, values_.arrlSection);
    setItemText(IDC_NAME, values_.name);
    // The multi-line edits show CR LF as a line break and give it back the same way.
    setItemText(IDC_ADDRESS, values_.address);
    setItemText(IDC_OPERATORS, values_.operators);
    setItemText(IDC_CLUB, values_.club);
    setItemText(IDC_SOAPBOX, values_.soapbox);
    setItemText(IDC_EMAIL, values_.email);
    return true;
}

void Cabrillo::onOk() {
    // Read everything first, so the values change only together.
    CabrilloHeader edited;
    edited.contest = itemText(IDC_CONTEST);
    edited.callsign = itemText(IDC_CALLSIGN);
    edited.claimed = itemText(IDC_CLAIMED);
    // A drop-down list's own text is that of its edit field: typed values count too.
    edited.category = itemText(IDC_CATEGORY);
    edited.arrlSection = itemText(IDC_ARRL_SECTION);
    edited.name = itemText(IDC_NAME);
    edited.address = itemText(IDC_ADDRESS);
    edited.operators = itemText(IDC_OPERATORS);
    edited.club = itemText(IDC_CLUB);
    edited.soapbox = itemText(IDC_SOAPBOX);
    edited.email = itemText(IDC_EMAIL);
    values_ = std::move(edited);
    end(IDOK);
}
