#include "windows/area_window.h"

#include "resources/resource.h"
#include "windows/wide_text.h"

static_assert(IDC_AREA_COUNT == kAreaCount, "one lamp per area code");

namespace {

int lampId(size_t area) { return IDC_AREA_FIRST + static_cast<int>(area); }

// The two areas listed last are shown only for an operator in Ukraine.
constexpr size_t kFirstUkrainianOnly = kAreaCount - 2;

}  // namespace

Obl::Obl(ContestState& state, const Settings& settings) : state_(state), position_(settings, "oblast_x", "oblast_y") {}

Obl::~Obl() {
    // While this class still handles the window's last messages; the brush goes after
    // the window that used it.
    destroy();
}

bool Obl::open(bool onTop, bool showKrAndSl) {
    onTop_ = onTop;
    showKrAndSl_ = showKrAndSl;
    if (!createModeless(IDD_AREA)) return false;
    publishWindow(state_.shared.areaWindow, window());
    showWithoutActivating(window());
    return true;
}

void Obl::setTitle(const std::string& title) {
    if (window()) setWindowTextCp1251(window(), title);
}

void Obl::clearAreaMarks() {
    for (size_t i = 0; i < kAreaCount; ++i) {
        marks_[i] = false;
        lamps_[i].SetBackColor(kFreeFace);
        lamps_[i].SetForeColor(kFreeText);
    }
}

void Obl::markAreaWorked(const std::string& code) {
    for (size_t i = 0; i < kAreaCount; ++i) {
        if (marks_[i] || code != areaDisplayOrder[i]) continue;
        marks_[i] = true;
        lamps_[i].SetBackColor(kWorkedFace);
        lamps_[i].SetForeColor(kWorkedText);
    }
}

void Obl::refreshBoxes() {
    if (!window()) return;
    for (size_t i = 0; i < kAreaCount; ++i)
        CheckDlgButton(window(), lampId(i), marks_[i] ? BST_CHECKED : BST_UNCHECKED);
}

bool Obl::onInit() {
    refreshBoxes();
    position_.read();
    if (!showKrAndSl_) {
        for (size_t i = kFirstUkrainianOnly; i < kAreaCount; ++i) {
            EnableWindow(item(lampId(i)), FALSE);
            ShowWindow(item(lampId(i)), SW_HIDE);
        }
    }
    for (size_t i = 0; i < kAreaCount; ++i) {
        // A box that cannot be taken over stays a plain check box.
        if (lamps_[i].AttachItem(lampId(i), window(), kFreeFace, kFreeText, kDisabledText)) lamps_[i].SetShape(1);
    }
    position_.moveTo(window());
    if (onTop_) makeTopmost(window());
    background_.reset(CreateSolidBrush(kBackground));
    setLargeIcon(window());
    disableCloseCommand(window());
    // No control gets the focus, which would activate the window: the keyboard stays
    // with the host's window.
    return false;
}

INT_PTR Obl::onMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: {
            if (!background_) return FALSE;
            const HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, kTextBackground);
            return reinterpret_cast<INT_PTR>(background_.get());
        }
        case WM_CLOSE:
            // Hidden, not closed: only the companion window closes it.
            end(IDCANCEL);
            return TRUE;
        case WM_SETCURSOR:
            position_.saveIfMoved(window());
            return FALSE;
        case WM_DESTROY:
            unpublishWindow(state_.shared.areaWindow, window());
            return FALSE;
        default:
            return FALSE;
    }
}
