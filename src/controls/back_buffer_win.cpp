#include "controls/back_buffer_win.h"

namespace lumaforge {

HDC BackBuffer::Prepare(HDC compatible, SIZE size) {
    if (dc_ && size.cx == size_.cx && size.cy == size_.cy)
        return dc_.Get();
    Release();
    dc_.Reset(CreateCompatibleDC(compatible));
    bitmap_.Reset(CreateCompatibleBitmap(compatible, size.cx, size.cy));
    if (!dc_ || !bitmap_) {
        Release();
        return nullptr;
    }
    oldBitmap_ = SelectObject(dc_.Get(), bitmap_.Get());
    size_ = size;
    return dc_.Get();
}

void BackBuffer::Release() {
    // The bitmap must leave the DC before either is deleted.
    if (dc_ && oldBitmap_)
        SelectObject(dc_.Get(), oldBitmap_);
    oldBitmap_ = nullptr;
    bitmap_.Reset();
    dc_.Reset();
    size_ = {};
}

}  // namespace lumaforge
