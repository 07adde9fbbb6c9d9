// The paint buffer and the buffered canvas: out of line, as every drawn control paints through
// them and a copy in each would cost the release its size.
#include "win32/toolkit/WindowSupport.h"

namespace lumora::win32 {

PaintBuffer::~PaintBuffer()
{
    if (!dc) return;
    if (original) SelectObject(dc, original);
    DeleteDC(dc);
}

bool PaintBuffer::Fit(HDC target, int w, int h)
{
    if (!dc) dc = CreateCompatibleDC(target);
    if (!dc) return false;
    if (bitmap && w <= width && h <= height) return true;
    const int newWidth = w > width ? w : width;
    const int newHeight = h > height ? h : height;
    GdiObject<HBITMAP> grown(CreateCompatibleBitmap(target, newWidth, newHeight));
    if (!grown) return false;
    const HGDIOBJ previous = SelectObject(dc, grown.Get());
    if (!original) original = previous;
    bitmap = std::move(grown);
    width = newWidth;
    height = newHeight;
    return true;
}

PaintBuffer& PaintBuffer::Shared()
{
    static PaintBuffer buffer;
    return buffer;
}

BufferedCanvas::BufferedCanvas(HDC target, const RECT& area) : target_(target), area_(area)
{
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    PaintBuffer& shared = PaintBuffer::Shared();
    if (!shared.busy && shared.Fit(target, w, h)) {
        shared_ = &shared;
        shared.busy = true;
        memory_ = shared.dc;
    } else {
        // A canvas inside another's paint: one of its own.
        memory_ = CreateCompatibleDC(target);
        if (memory_) bitmap_.Reset(CreateCompatibleBitmap(target, w, h));
        if (!bitmap_) {
            if (memory_) DeleteDC(memory_);
            memory_ = nullptr;
            return;
        }
        old_ = SelectObject(memory_, bitmap_.Get());
    }
    saved_ = SaveDC(memory_);
    SetWindowOrgEx(memory_, area.left, area.top, nullptr);
}

BufferedCanvas::~BufferedCanvas()
{
    if (!memory_) return;
    // Back to the state before the drawing: origin 0, 0, the objects and colours it chose gone.
    RestoreDC(memory_, saved_);
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_, 0, 0, SRCCOPY);
    if (shared_) {
        shared_->busy = false;
        return;
    }
    SelectObject(memory_, old_);
    DeleteDC(memory_);
}

}  // namespace lumora::win32
