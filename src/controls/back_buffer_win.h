#pragma once
#include <windows.h>

#include "base/handles_win.h"

namespace lumaforge {

// An off-screen bitmap of a window's client size, kept between paints.
class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { Release(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // The buffer's DC for a client of this size, created or rebuilt when the size changed.
    HDC Prepare(HDC compatible, SIZE size);
    void Release();

private:
    UniqueMemoryDc dc_;
    UniqueGdiObj<HBITMAP> bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    SIZE size_{};
};

}  // namespace lumaforge
