// An off-screen drawing surface for one paint: everything drawn on it is collected in
// a bitmap and reaches the target in a single copy when the object goes, so a control
// made of many text items does not flicker while it is repainted.
//
//   CMemDC memory(targetDC);    // then draw on `memory` in the target's coordinates
//
// It covers the target's clip box and starts as a copy of what the target shows
// there, so a paint that leaves parts alone leaves them as they were. Printers and
// metafiles, and any target a memory surface cannot be made for, are drawn on
// directly. Create and destroy it within one paint, on the thread of the target.
#pragma once
#include <windows.h>

#include "drawn/device_context.h"
#include "win32_owners.h"

class CMemDC : public DeviceContext {
public:
    explicit CMemDC(HDC target) noexcept;
    // Copies the picture to the target (when it went to memory).
    ~CMemDC() override;

    // Whether drawing goes to memory (false: straight to the target).
    bool toMemory() const noexcept { return static_cast<bool>(memory_); }
    // The part of the target covered, in its logical units.
    const RECT& rect() const noexcept { return rect_; }

private:
    HDC target_ = nullptr;
    RECT rect_{};
    // In this order, the old bitmap is selected back before ours is deleted, and that
    // before the memory DC is.
    win32::MemoryDC memory_;
    win32::Bitmap bitmap_;
    win32::ScopedSelect selection_;
};
