#include "windows/multiplier_window.h"

#include <algorithm>
#include <vector>

#include "drawn/mem_dc.h"
#include "operator/grid_layout.h"
#include "resources/resource.h"
#include "windows/wide_text.h"

namespace {

constexpr COLORREF kListBackground = RGB(255, 250, 198);
constexpr COLORREF kGridBackground = RGB(255, 255, 198);
constexpr COLORREF kWatchedBandRow = RGB(198, 255, 255);

void textAt(HDC dc, int x, int y, const std::string& text) { textOutCp1251(dc, x, y, text); }

bool showsList(const WatchView& view) {
    return view.watchedCall.empty() && view.watchedBand >= 0 && view.watchedBand < kBandCount;
}

// The worked prefixes of the view's band and mode; the view must show a list.
std::vector<std::string>& workedList(ContestData& d, const WatchView& view) {
    auto& lists = view.watchedMode == "RTTY" ? d.dxccRtty : d.dxccBpsk;
    return lists[static_cast<size_t>(view.watchedBand)];
}

}  // namespace

// ---- the table --------------------------------------------------------------------------

bool CCqWwInfoButton::onDrawItem(const DRAWITEMSTRUCT& item) {
    // Text in the surface's own defaults (the system font, black): the memory surface
    // starts with them; drawn straight to the target, the target's settings come back.
    const win32::SavedDC saved(item.hDC);
    CMemDC surface(item.hDC);
    if (!surface) return false;
    const WatchView none;
    const WatchView& view = view_ ? *view_ : none;
    if (view.watchedCall.empty())
        drawWorkedList(surface.get(), item.rcItem, view);
    else
        drawCallGrid(surface.get(), item.rcItem, view);
    return true;
}

void CCqWwInfoButton::drawWorkedList(HDC dc, const RECT& item, const WatchView& view) {
    DeviceContext(dc).fillSolidRect(item, kListBackground);
    if (!showsList(view)) return;
    std::vector<std::string> entries;
    {
        const auto d = state_.lock();
        auto& list = workedList(*d, view);
        // The state's list itself is kept in display order: byte order, as unsigned
        // characters, which std::string's comparison is.
        std::sort(list.begin(), list.end());
        entries = list;
    }
    SetBkMode(dc, TRANSPARENT);
    const std::vector<TextSpot> spots = dxccListLayout(entries.size(), item.right, firstLine_);
    for (size_t i = 0; i < entries.size(); ++i) textAt(dc, spots[i].x, spots[i].y, entries[i]);
}

size_t CCqWwInfoButton::listCount() const {
    if (!view_ || !showsList(*view_)) return 0;
    return workedList(*state_.lock(), *view_).size();
}

void CCqWwInfoButton::drawCallGrid(HDC dc, const RECT& item, const WatchView& view) {
    DeviceContext(dc).fillSolidRect(item, kGridBackground);
    const CallGridLayout layout = callGridLayout(item.right, item.bottom, view.watchedBand);
    if (layout.highlight)
        DeviceContext(dc).fillSolidRect(RECT{0, layout.highlightTop, item.right, layout.highlightBottom},
                                        kWatchedBandRow);
    SetBkMode(dc, TRANSPARENT);
    textAt(dc, layout.callX, 0, view.watchedCall);
    const char* const header[4] = {"Band", "RTTY75", "BPSK63", "NR/OBL"};
    for (size_t c = 0; c < 4; ++c) textAt(dc, layout.columns[c], 18, header[c]);
    const InfoGrid rows = state_.lock()->infoGridRows;
    // Rows 2..6 show bands 1..5 (80 m to 10 m); 160 m, never a contest band, has no row.
    for (int r = 2; r <= 6; ++r) {
        const auto& row = rows[static_cast<size_t>(r - 1)];
        for (size_t c = 0; c < 4; ++c) textAt(dc, layout.columns[c], r * layout.rowHeight, row[c]);
    }
}

// ---- the window ---------------------------------------------------------------------------

Multiplier::Multiplier(ContestState& state, const Settings& settings)
    : state_(state),
      table_(state),
      position_(settings, "dxcc_x", "dxcc_y"),
      size_(settings, "dxcc_width", "dxcc_height") {}

Multiplier::~Multiplier() {
    // While this class still handles the window's last messages.
    destroy();
}

bool Multiplier::open(bool onTop) {
    onTop_ = onTop;
    if (!createModeless(IDD_MULTIPLIER)) return false;
    publishWindow(state_.shared.dxccWindow, window());
    showWithoutActivating(window());
    return true;
}

void Multiplier::setView(const WatchView* view) {
    table_.setView(view);
    repaintTable();
}

POINT Multiplier::leastSize() const {
    // The whole per-call grid beside a scroll bar: no column or row of it is cut, and the
    // list scrolls.
    RECT least{0, 0, kMinCallGridWidth + 4 + GetSystemMetrics(SM_CXVSCROLL), kMinCallGridHeight + 4};
    AdjustWindowRectEx(&least, DWORD(GetWindowLongPtrW(window(), GWL_STYLE)), FALSE,
                       DWORD(GetWindowLongPtrW(window(), GWL_EXSTYLE)));
    return {least.right - least.left, least.bottom - least.top};
}

void Multiplier::keepLeastSize(WINDOWPOS& place) const {
    if ((place.flags & SWP_NOSIZE) || IsIconic(window())) return;
    const POINT least = leastSize();
    place.cx = std::max(place.cx, static_cast<int>(least.x));
    place.cy = std::max(place.cy, static_cast<int>(least.y));
}

void Multiplier::onScroll(WORD request) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(window(), SB_VERT, &info);
    const int page = static_cast<int>(info.nPage);
    switch (request) {
        case SB_LINEUP:
            scrollTo(info.nPos - 1);
            break;
        case SB_LINEDOWN:
            scrollTo(info.nPos + 1);
            break;
        case SB_PAGEUP:
            scrollTo(info.nPos - page);
            break;
        case SB_PAGEDOWN:
            scrollTo(info.nPos + page);
            break;
        case SB_TOP:
            scrollTo(0);
            break;
        case SB_BOTTOM:
            scrollTo(info.nMax);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION:
            scrollTo(info.nTrackPos);
            break;
        default:
            break;
    }
}

void Multiplier::fitTable() {
    const HWND t = table();
    if (!t) return;
    RECT client{};
    GetClientRect(window(), &client);
    // A minimised window reports a client area of 0 x 0.
    const int width = std::max(0, static_cast<int>(client.right) - 4);
    const int height = std::max(0, static_cast<int>(client.bottom) - 4);
    MoveWindow(t, 1, 1, width, height, TRUE);
    fitScrollBar();
}

void Multiplier::fitScrollBar() {
    const HWND t = table();
    if (!t || fitting_) return;
    fitting_ = true;
    // Without SIF_DISABLENOSCROLL the bar shows only while the range exceeds the page.
    // Showing or hiding it resizes the client area and so the table (WM_SIZE comes back
    // here and is let through), which may change the list's lines: fitted once more then.
    for (int pass = 0; pass < 2; ++pass) {
        RECT before{}, after{};
        GetClientRect(t, &before);
        const int lines = dxccListLines(table_.listCount(), before.right);
        const int page = dxccListVisibleLines(before.bottom);
        SCROLLINFO info{
            sizeof info, SIF_RANGE | SIF_PAGE, 0, lines > page ? lines - 1 : 0, static_cast<UINT>(page), 0, 0};
        SetScrollInfo(window(), SB_VERT, &info, TRUE);
        GetClientRect(t, &after);
        if (after.right == before.right && after.bottom == before.bottom) break;
    }
    fitting_ = false;
    scrollTo(firstLine_);
}

void Multiplier::scrollTo(int line) {
    if (!table()) return;
    RECT r{};
    GetClientRect(table(), &r);
    const int lines = dxccListLines(table_.listCount(), r.right);
    const int last = std::max(0, lines - dxccListVisibleLines(r.bottom));
    const int first = std::clamp(line, 0, last);
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, first, 0};
    SetScrollInfo(window(), SB_VERT, &info, TRUE);
    if (first == firstLine_) return;
    firstLine_ = first;
    table_.setFirstLine(first);
    InvalidateRect(table(), nullptr, FALSE);
}

void Multiplier::setTitle(const std::string& title) {
    if (window()) setWindowTextCp1251(window(), title);
}

void Multiplier::repaintTable() {
    // The list may have grown, or given way to a call's grid.
    fitScrollBar();
    if (const HWND t = table()) InvalidateRect(t, nullptr, FALSE);
}

bool Multiplier::onInit() {
    table_.attachItem(window(), IDC_DXCC_TABLE);
    size_.apply(window());
    position_.read(10, 400);
    position_.moveTo(window());
    if (onTop_) makeTopmost(window());
    setLargeIcon(window());
    disableCloseCommand(window());
    // No control gets the focus, which would activate the window: the keyboard stays
    // with the host's window.
    return false;
}

INT_PTR Multiplier::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            // Hidden, not closed: only the companion window closes it.
            end(IDCANCEL);
            return TRUE;
        case WM_EXITSIZEMOVE:
            // The operator has moved or sized it.
            size_.saveIfResized(window());
            position_.saveIfMoved(window());
            return FALSE;
        case WM_SETCURSOR:
            // Sent whenever the pointer moves over the window: the moment to notice a move.
            position_.saveIfMoved(window());
            return FALSE;
        case WM_SIZE:
            fitTable();
            repaintTable();
            return FALSE;
        case WM_GETMINMAXINFO:
            // The operator's drag stops there.
            reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = leastSize();
            return TRUE;
        case WM_WINDOWPOSCHANGING:
            // So does any other sizing, a saved size read back included.
            keepLeastSize(*reinterpret_cast<WINDOWPOS*>(lParam));
            return FALSE;
        case WM_VSCROLL:
            onScroll(LOWORD(wParam));
            return TRUE;
        case WM_MOUSEACTIVATE:
            // A click on the scroll bar scrolls the list without taking activation and the
            // keyboard from the host's window; elsewhere (the caption, to move it) it
            // activates as before.
            if (LOWORD(lParam) != HTVSCROLL) return FALSE;
            SetWindowLongPtrW(window(), DWLP_MSGRESULT, MA_NOACTIVATE);
            return TRUE;
        case WM_MOUSEWHEEL:
            scrollTo(firstLine_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
            return TRUE;
        case WM_DESTROY:
            unpublishWindow(state_.shared.dxccWindow, window());
            return FALSE;
        default:
            return FALSE;
    }
}
