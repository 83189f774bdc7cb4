#include "drawn/mem_dc.h"

CMemDC::CMemDC(HDC target) noexcept : DeviceContext(target), target_(target) {
    if (!target) return;
    rect_ = clipBox();
    // Logical units must be pixels for the bitmap to match the clip box.
    if (isPrinting() || GetMapMode(target) != MM_TEXT) return;
    const int width = rect_.right - rect_.left;
    const int height = rect_.bottom - rect_.top;
    if (width <= 0 || height <= 0) return;

    win32::MemoryDC memory(CreateCompatibleDC(target));
    if (!memory) return;
    win32::Bitmap bitmap(CreateCompatibleBitmap(target, width, height));
    if (!bitmap) return;
    win32::ScopedSelect selection(memory.get(), bitmap.get());
    if (!selection) return;
    // Callers draw in the target's coordinates: the clip box's corner is the bitmap's.
    SetWindowOrgEx(memory.get(), rect_.left, rect_.top, nullptr);
    BitBlt(memory.get(), rect_.left, rect_.top, width, height, target, rect_.left, rect_.top, SRCCOPY);

    memory_ = std::move(memory);
    bitmap_ = std::move(bitmap);
    selection_ = std::move(selection);
    dc_ = memory_.get();
}

CMemDC::~CMemDC() {
    if (!memory_) return;
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memory_.get(),
           rect_.left, rect_.top, SRCCOPY);
}
