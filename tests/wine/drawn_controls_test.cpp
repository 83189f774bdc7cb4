// The drawn controls on a real dialog: a rectangular button and a disc lamp taken over
// from the template, painted by the system's draw-item requests, read back pixel by
// pixel where the look is decided (face, bevel rings, disc ring, label colour, focus
// and pressed edges), repainted at once by the colour setters (from another thread
// too), and counted for the GDI objects their paints make and delete. Then the
// painters and the off-screen surface on their own.
#include "drawn_controls_test.h"

#include <string>

#include "drawn/advanced_button.h"
#include "drawn/drawn_objects.h"
#include "drawn/mem_dc.h"
#include "gdi_probe.h"
#include "windows/dialog_base.h"
#include "wine_test.h"

namespace {

constexpr COLORREF kFace = RGB(240, 200, 64);
constexpr COLORREF kText = RGB(160, 0, 128);
constexpr COLORREF kDisabledText = RGB(0, 96, 255);
constexpr COLORREF kLampOff = RGB(0, 255, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kNearBlack = RGB(1, 1, 1);

// ---- the dialog -----------------------------------------------------------------------

class DrawnDialog : public CDialogBase {
public:
    CAdvancedButton rect, disc, spare;
    bool rectAttached = false, discAttached = false, missingAttached = true, spareKept = false;
    int rectClicks = 0;

    HWND control(int id) const { return item(id); }

protected:
    bool onInit() override {
        rectAttached = rect.AttachItem(IDC_RECT_BUTTON, window(), kFace, kText, kDisabledText);
        rect.SetShape(0);
        discAttached = disc.AttachItem(IDC_DISC_BUTTON, window(), kLampOff, kNearBlack, kGrey);
        disc.SetShape(1);
        // A failed attach leaves the button as it was.
        spare.AttachItem(IDC_OTHER_BUTTON, window(), 0, 0, 0);
        missingAttached = spare.AttachItem(4242, window(), 1, 1, 1);
        spareKept = spare.window() == item(IDC_OTHER_BUTTON) && spare.backColor() == 0;
        spare.detach();
        return true;
    }
    bool onCommand(int id, int notification) override {
        if (id == IDC_RECT_BUTTON && notification == BN_CLICKED) {
            ++rectClicks;
            return true;
        }
        return CDialogBase::onCommand(id, notification);
    }
};

// Focus on `control`, then the pressed state; the button repaints for each.
void setLook(HWND focus, HWND pressed, bool down) {
    SetFocus(focus);
    SendMessageA(pressed, BM_SETSTATE, down ? TRUE : FALSE, 0);
    wt::pump();
}

void attaching(DrawnDialog& d) {
    wt::check(d.rectAttached && d.discAttached, "both buttons are taken over");
    wt::check(!d.missingAttached && d.spareKept, "no such control: false, and the held window stays");
    for (int id : {IDC_RECT_BUTTON, IDC_DISC_BUTTON})
        wt::checkEqual(GetWindowLongA(d.control(id), GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW,
                       "button " + std::to_string(id) + " is owner-drawn");
    wt::check((GetWindowLongA(d.control(IDC_DISC_BUTTON), GWL_STYLE) & WS_TABSTOP) != 0, "other style bits stay");
    SendMessageA(d.control(IDC_RECT_BUTTON), BM_CLICK, 0, 0);
    wt::pump();
    wt::checkEqual(d.rectClicks, 1, "a drawn button still clicks");
}

void rectangleLook(DrawnDialog& d) {
    HWND button = d.control(IDC_RECT_BUTTON);
    setLook(d.control(IDC_OTHER_BUTTON), button, false);
    const wt::Picture p = wt::Picture::of(button);
    const int w = p.width(), h = p.height();
    wt::checkColor(p.at(4, 4), kFace, "rectangle: face");
    wt::checkColor(p.at(0, 0), kWhite, "rectangle: outer ring, top-left light");
    wt::checkColor(p.at(w - 1, 0), RGB(127, 127, 127), "rectangle: outer ring, top-right corner dark");
    wt::checkColor(p.at(0, h - 1), RGB(127, 127, 127), "rectangle: outer ring, bottom-left corner dark");
    wt::checkColor(p.at(1, 1), RGB(223, 223, 223), "rectangle: inner ring light");
    wt::checkColor(p.at(w - 2, h - 2), RGB(85, 85, 85), "rectangle: inner ring dark");
    wt::check(p.count(kText) > 0, "rectangle: label in the text colour");
    wt::checkEqual(p.count(kFace, {2, 2, w - 2, 3}), w - 4, "rectangle: no focus mark without the focus");

    EnableWindow(button, FALSE);
    wt::pump();
    const wt::Picture off = wt::Picture::of(button);
    wt::check(off.count(kDisabledText) > 0 && off.count(kText) == 0, "disabled: label in the disabled colour only");
    EnableWindow(button, TRUE);
    wt::pump();
    const wt::Picture on = wt::Picture::of(button);
    wt::check(on.count(kText) > 0 && on.count(kDisabledText) == 0, "enabled again: label in the text colour");
}

void pressedAndFocused(DrawnDialog& d) {
    HWND button = d.control(IDC_RECT_BUTTON), other = d.control(IDC_OTHER_BUTTON);
    setLook(other, button, true);
    wt::checkColor(wt::Picture::of(button).at(0, 0), kWhite, "pressed without the focus: still raised");

    setLook(button, button, false);
    wt::check(GetFocus() == button, "the button has the focus");
    const wt::Picture focused = wt::Picture::of(button);
    const int w = focused.width(), h = focused.height();
    wt::checkColor(focused.at(0, 0), kWhite, "focused, not pressed: raised");
    wt::check(focused.count(kFace, {2, 2, w - 2, 3}) < w - 4, "focused: a focus mark two pixels in");

    setLook(button, button, true);
    const wt::Picture pressed = wt::Picture::of(button);
    wt::checkColor(pressed.at(0, 0), kGrey, "focused and pressed: sunken, top-left dark");
    wt::checkColor(pressed.at(w - 1, h - 1), kWhite, "focused and pressed: bottom-right light");
    wt::checkColor(pressed.at(1, 1), RGB(223, 223, 223), "focused and pressed: the inner raised ring stays");
    setLook(button, button, false);
    wt::checkColor(wt::Picture::of(button).at(0, 0), kWhite, "released: raised again");
    setLook(other, button, false);
}

void discLook(DrawnDialog& d) {
    HWND button = d.control(IDC_DISC_BUTTON), other = d.control(IDC_OTHER_BUTTON);
    SetWindowTextA(button, "");  // the centre free of the label
    setLook(other, button, false);
    const wt::Picture plain = wt::Picture::of(button);
    const int w = plain.width(), h = plain.height(), cx = w / 2, cy = h / 2;
    wt::checkColor(plain.at(cx, cy), kLampOff, "disc: centre in the face colour");
    wt::checkColor(plain.at(1, cy), kGrey, "disc: grey ring at the left");
    wt::checkColor(plain.at(cx, 1), kGrey, "disc: grey ring at the top");
    wt::checkColor(plain.at(4, cy), kLampOff, "disc: face inside the ring");
    wt::checkEqual(plain.count(kNearBlack), 0, "disc: nothing near-black while not focused");

    setLook(button, button, true);
    const wt::Picture p = wt::Picture::of(button);
    // The inner of the two dark rings is half covered by the face filled after it.
    wt::checkColor(p.at(0, cy), kNearBlack, "disc focused and pressed: near-black rings, left");
    wt::checkColor(p.at(1, cy), kNearBlack, "disc focused and pressed: two pixels wide");
    wt::checkColor(p.at(cx, 1), kNearBlack, "disc focused and pressed: near-black rings, top");
    wt::checkColor(p.at(cx, cy), kLampOff, "disc focused and pressed: centre in the face colour");
    wt::checkEqual(p.count(kGrey), 0, "disc focused and pressed: no grey ring");
    // The dotted ring lies four pixels in: dots and gaps in the face colour.
    const RECT dotted{4, cy - 2, 6, cy + 3};
    wt::check(p.count(kNearBlack, dotted) > 0 && p.count(kLampOff, dotted) > 0, "disc: dotted ring with face gaps");
    setLook(other, button, false);
    SetWindowTextA(button, "KV");
}

void immediateRepaint(DrawnDialog& d) {
    HWND rectButton = d.control(IDC_RECT_BUTTON), discButton = d.control(IDC_DISC_BUTTON);
    wt::pump();
    d.rect.SetBackColor(RGB(30, 90, 200));
    wt::checkColor(wt::Picture::of(rectButton).at(4, 4), RGB(30, 90, 200), "SetBackColor shows before it returns");
    d.rect.SetForeColor(RGB(200, 30, 30));
    wt::check(wt::Picture::of(rectButton).count(RGB(200, 30, 30)) > 0, "SetForeColor shows before it returns");
    d.rect.SetColors(kFace, kText, kDisabledText);
    wt::checkColor(wt::Picture::of(rectButton).at(4, 4), kFace, "SetColors shows before it returns");

    // The host's thread recolours a lamp while this thread serves its messages.
    wt::Worker worker([&] { d.disc.SetBackColor(RGB(255, 0, 255)); });
    const DWORD start = GetTickCount();
    while (!worker.wait(0) && GetTickCount() - start < 5000) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        wt::pump();
    }
    wt::check(worker.wait(0), "a setter on another thread returns while the window thread serves it");
    const wt::Picture p = wt::Picture::of(discButton);
    wt::checkColor(p.at(p.width() / 2, 3), RGB(255, 0, 255), "recoloured from another thread");
    d.disc.SetBackColor(kLampOff);
}

// A label is cut at 511 characters: 600 and 511 characters look the same, 510 do not.
void longLabel(DrawnDialog& d) {
    HWND button = d.control(IDC_RECT_BUTTON);
    std::string text;
    for (int i = 0; i < 600; ++i) text += "Wi.M"[i % 4];
    const auto look = [&](size_t length) {
        SetWindowTextA(button, text.substr(0, length).c_str());
        d.rect.Redraw();
        return wt::Picture::of(button);
    };
    const wt::Picture full = look(600), cut = look(511), shorter = look(510);
    wt::check(full.sameAs(cut), "a 600-character label shows its first 511 characters");
    wt::check(!cut.sameAs(shorter), "and one character fewer shows differently");
    SetWindowTextA(button, "RTTY-75");
}

void noLeaks(DrawnDialog& d, bool counting) {
    HWND rectButton = d.control(IDC_RECT_BUTTON), discButton = d.control(IDC_DISC_BUTTON);
    wt::pump();
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    wt::GdiCounts& counts = wt::gdiCounts();
    counts = wt::GdiCounts{};
    counts.on = true;
    for (int i = 0; i < 100; ++i) {
        // Every look: plain, focused, focused and pressed, both shapes.
        const bool onRect = i % 2 == 0;
        setLook(onRect ? rectButton : discButton, onRect ? rectButton : discButton, i % 4 < 2);
        d.rect.Redraw();
        d.disc.Redraw();
    }
    setLook(d.control(IDC_OTHER_BUTTON), rectButton, false);
    counts.on = false;
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (counting) {
        wt::check(counts.created >= 200, "paints make their pens and brushes (" + std::to_string(counts.created) + ")");
        wt::checkEqual(counts.deleted, counts.created, "every object a paint makes is deleted");
        wt::checkEqual(counts.stillSelected, 0, "and none was still selected when deleted");
    }
    if (before == 0 && after == 0)
        std::printf("  note: GetGuiResources(GR_GDIOBJECTS) reports 0 here; the import counts stand in\n");
    else
        wt::check(after <= before + 2, "GDI objects of the process: " + std::to_string(before) +
                                           " before 100 repaints, " + std::to_string(after) + " after");
}

// ---- the painters and the off-screen surface on their own ------------------------------

struct DcState {
    COLORREF text, back;
    int mode;
    HGDIOBJ pen, brush;
    bool operator==(const DcState& o) const {
        return text == o.text && back == o.back && mode == o.mode && pen == o.pen && brush == o.brush;
    }
};
DcState stateOf(HDC dc) {
    return {GetTextColor(dc), GetBkColor(dc), GetBkMode(dc), GetCurrentObject(dc, OBJ_PEN),
            GetCurrentObject(dc, OBJ_BRUSH)};
}

void painters() {
    wt::Picture p(40, 24);
    DeviceContext dc(p.dc());
    SetTextColor(p.dc(), RGB(1, 2, 3));
    SetBkColor(p.dc(), RGB(4, 5, 6));
    SetBkMode(p.dc(), OPAQUE);
    const DcState before = stateOf(p.dc());
    DrawnRect rect;
    DrawnEllipse ellipse;
    for (DrawnObject* painter : {static_cast<DrawnObject*>(&rect), static_cast<DrawnObject*>(&ellipse)}) {
        painter->Draw(dc, RECT{0, 0, 40, 24}, ODS_FOCUS | ODS_SELECTED, kFace);
        painter->DrawLabel(dc, RECT{0, 0, 40, 24}, "KV", kText);
    }
    wt::check(stateOf(p.dc()) == before, "painters leave the DC's colours, mode, pen and brush as they were");

    p.fill(kWhite);
    ellipse.Fill(dc, RECT{10, 10, 10, 20}, kFace);
    ellipse.Fill(dc, RECT{20, 20, 15, 15}, kFace);
    rect.DrawBorder(dc, RECT{30, 5, 30, 5}, 100);
    wt::checkEqual(p.count(kWhite), 40 * 24, "empty rectangles get nothing");

    rect.DrawBorder(dc, RECT{0, 0, 10, 10}, -1);
    wt::checkColor(p.at(0, 0), kGrey, "a sunken single ring: mid grey top-left");
    wt::checkColor(p.at(9, 9), kWhite, "and white bottom-right");
    wt::checkColor(p.at(1, 1), kWhite, "one ring only");
}

void memorySurface() {
    wt::Picture target(64, 48);
    target.fill(RGB(17, 17, 17));
    const win32::Brush blue(CreateSolidBrush(RGB(34, 34, 170)));
    {
        const win32::SavedDC saved(target.dc());
        IntersectClipRect(target.dc(), 10, 8, 40, 30);
        CMemDC memory(target.dc());
        wt::check(memory.toMemory(), "memory surface over a screen-like DC");
        const RECT r = memory.rect();
        wt::check(r.left == 10 && r.top == 8 && r.right == 40 && r.bottom == 30, "it covers the clip box");
        // The target's coordinates, up to the box's far corner; only parts are drawn.
        for (const RECT part : {RECT{12, 10, 20, 16}, RECT{34, 26, 40, 30}}) FillRect(memory.get(), &part, blue.get());
        wt::checkColor(target.at(12, 10), RGB(17, 17, 17), "nothing reaches the target before the end");
    }
    wt::checkColor(target.at(12, 10), RGB(34, 34, 170), "the picture lands where it was drawn");
    wt::checkColor(target.at(39, 29), RGB(34, 34, 170), "up to the clip box's far corner");
    wt::checkColor(target.at(30, 25), RGB(17, 17, 17), "parts left alone keep what the target showed");
    wt::checkColor(target.at(5, 5), RGB(17, 17, 17), "outside the clip box nothing changes");

    // A metafile records the calls: drawn straight to it.
    const HDC metafile = CreateMetaFileA(nullptr);
    {
        CMemDC straight(metafile);
        wt::check(!straight.toMemory() && straight.get() == metafile, "a metafile is drawn on directly");
    }
    DeleteMetaFile(CloseMetaFile(metafile));
}

void everyCase() {
    const bool counting = wt::countGdiObjects();
    wt::check(counting, "the GDI calls of the kit can be counted");

    DrawnDialog dialog;
    if (wt::check(dialog.createModeless(IDD_DRAWN_TEST), "the test dialog opens modeless")) {
        ShowWindow(dialog.window(), SW_SHOW);
        SetForegroundWindow(dialog.window());
        wt::pump();
        attaching(dialog);
        rectangleLook(dialog);
        pressedAndFocused(dialog);
        discLook(dialog);
        immediateRepaint(dialog);
        longLabel(dialog);
        noLeaks(dialog, counting);

        SendMessageA(dialog.window(), WM_CLOSE, 0, 0);
        wt::pump();  // the close box's Cancel comes posted
        wt::check(dialog.hasEnded() && dialog.endResult() == IDCANCEL && !IsWindowVisible(dialog.window()),
                  "WM_CLOSE ends a modeless dialog: hidden, kept");
        const HWND button = dialog.control(IDC_RECT_BUTTON);
        dialog.destroy();
        wt::check(!dialog.window() && !IsWindow(button), "destroy() ends it");
        wt::check(!dialog.rect.window() && !dialog.disc.window(), "the buttons let go of their destroyed windows");
        dialog.rect.SetBackColor(kFace);  // nothing to redraw, nothing to fail
    }
    painters();
    memorySurface();
}

}  // namespace

int main() { return wt::run(60, everyCase); }
