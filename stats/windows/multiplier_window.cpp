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
    if (view.watchedBand < 0 || view.watchedBand >= kBandCount) return;
    std::vector<std::string> entries;
    {
        const auto d = state_.lock();
        auto& lists = view.watchedMode == "RTTY" ? d->dxccRtty : d->dxccBpsk;
        auto& list = lists[static_cast<size_t>(view.watchedBand)];
        // The state's list itself is kept in display order: byte order, as unsigned
        // characters, which std::string's comparison is.
        std::sort(list.begin(), list.end());
        entries = list;
    }
    SetBkMode(dc, TRANSPARENT);
    const std::vector<TextSpot> spots = dxccListLayout(entries.size(), item.right);
    for (size_t i = 0; i < entries.size(); ++i) textAt(dc, spots[i].x, spots[i].y, entries[i]);
}

void CCqWwInfoButton::drawCallGrid(HDC dc, const RECT& item, const WatchView& view) {
    DeviceContext(dc).fillSolidRect(item, kGridBackground);
    const CallGridLayout layout = callGridLayout(item.bottom, view.watchedBand);
    if (layout.highlight)
        DeviceContext(dc).fillSolidRect(RECT{0, layout.highlightTop, item.right, layout.highlightBottom},
                                        kWatchedBandRow);
    SetBkMode(dc, TRANSPARENT);
    textAt(dc, 20, 18, "Band");
    textAt(dc, 100, 18, "RTTY75");
    textAt(dc, 140, 0, view.watchedCall);
    textAt(dc, 178, 18, "BPSK63");
    textAt(dc, 245, 18, "NR/OBL");
    const InfoGrid rows = state_.lock()->infoGridRows;
    // Rows 2..6 show bands 1..5 (80 m to 10 m); 160 m, never a contest band, has no row.
    for (int r = 2; r <= 6; ++r) {
        const auto& row = rows[static_cast<size_t>(r - 1)];
        for (size_t c = 0; c < 4; ++c) textAt(dc, kCallGridColumns[c], r * layout.rowHeight, row[c]);
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

void Multiplier::setTitle(const std::string& title) {
    if (window()) setWindowTextCp1251(window(), title);
}

void Multiplier::repaintTable() {
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

INT_PTR Multiplier::onMessage(UINT message, WPARAM, LPARAM lParam) {
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
            if (const HWND t = table()) {
                // A minimised window reports a client area of 0 x 0.
                const int width = std::max(0, static_cast<int>(LOWORD(lParam)) - 4);
                const int height = std::max(0, static_cast<int>(HIWORD(lParam)) - 4);
                MoveWindow(t, 1, 1, width, height, TRUE);
                repaintTable();
            }
            return FALSE;
        case WM_DESTROY:
            unpublishWindow(state_.shared.dxccWindow, window());
            return FALSE;
        default:
            return FALSE;
    }
}
