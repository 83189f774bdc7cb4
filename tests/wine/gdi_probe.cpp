#include "gdi_probe.h"

#include <cstdio>
#include <cstring>

#include "wine_test.h"

namespace wt {

// ---- counting GDI objects -----------------------------------------------------------

GdiCounts& gdiCounts() {
    static GdiCounts counts;
    return counts;
}

namespace {

decltype(&CreatePen) realCreatePen;
decltype(&CreateSolidBrush) realCreateSolidBrush;
decltype(&CreateCompatibleBitmap) realCreateCompatibleBitmap;
decltype(&CreateCompatibleDC) realCreateCompatibleDC;
decltype(&DeleteObject) realDeleteObject;
decltype(&DeleteDC) realDeleteDC;

template <typename H>
H made(H h) {
    if (gdiCounts().on && h) ++gdiCounts().created;
    return h;
}
HPEN WINAPI countedCreatePen(int style, int width, COLORREF c) { return made(realCreatePen(style, width, c)); }
HBRUSH WINAPI countedCreateSolidBrush(COLORREF c) { return made(realCreateSolidBrush(c)); }
HBITMAP WINAPI countedCreateCompatibleBitmap(HDC dc, int w, int h) {
    return made(realCreateCompatibleBitmap(dc, w, h));
}
HDC WINAPI countedCreateCompatibleDC(HDC dc) { return made(realCreateCompatibleDC(dc)); }
BOOL WINAPI countedDeleteObject(HGDIOBJ h) {
    const BOOL ok = realDeleteObject(h);
    GdiCounts& counts = gdiCounts();
    if (counts.on && ok) {
        ++counts.deleted;
        if (GetObjectType(h) != 0) ++counts.stillSelected;
    }
    return ok;
}
BOOL WINAPI countedDeleteDC(HDC dc) {
    const BOOL ok = realDeleteDC(dc);
    if (gdiCounts().on && ok) ++gdiCounts().deleted;
    return ok;
}

// Replaces the program's import `name` of gdi32.dll by `replacement`, keeping the
// function it called in `original`.
template <typename F>
bool patchImport(const char* name, F replacement, F& original) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), "gdi32.dll") != 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD old = 0;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old)) return false;
            original = reinterpret_cast<F>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

}  // namespace

bool countGdiObjects() {
    return patchImport("CreatePen", &countedCreatePen, realCreatePen) &&
           patchImport("CreateSolidBrush", &countedCreateSolidBrush, realCreateSolidBrush) &&
           patchImport("CreateCompatibleBitmap", &countedCreateCompatibleBitmap, realCreateCompatibleBitmap) &&
           patchImport("CreateCompatibleDC", &countedCreateCompatibleDC, realCreateCompatibleDC) &&
           patchImport("DeleteObject", &countedDeleteObject, realDeleteObject) &&
           patchImport("DeleteDC", &countedDeleteDC, realDeleteDC);
}

// ---- pictures -----------------------------------------------------------------------

Picture::Picture(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bits_ = static_cast<std::uint32_t*>(bits);
    dc_.reset(CreateCompatibleDC(nullptr));
    selection_ = win32::ScopedSelect(dc_.get(), bitmap_.get());
}

Picture Picture::of(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    Picture p(r.right, r.bottom);
    const win32::WindowDC screen(w);
    BitBlt(p.dc(), 0, 0, r.right, r.bottom, screen.get(), 0, 0, SRCCOPY);
    GdiFlush();
    return p;
}

COLORREF Picture::at(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const std::uint32_t v = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

void Picture::fill(COLORREF c) {
    GdiFlush();
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            bits_[static_cast<size_t>(y) * width_ + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

bool Picture::sameAs(const Picture& o) const {
    return width_ == o.width_ && height_ == o.height_ && bits_ && o.bits_ &&
           std::memcmp(bits_, o.bits_, static_cast<size_t>(width_) * height_ * 4) == 0;
}

std::string hex(COLORREF c) {
    char b[16];
    std::snprintf(b, sizeof b, "0x%06lX", static_cast<unsigned long>(c));
    return b;
}

bool checkColor(COLORREF actual, COLORREF expected, const std::string& what) {
    return check(actual == expected,
                 what + ": " + hex(actual) + (actual == expected ? "" : ", expected " + hex(expected)));
}

}  // namespace wt
