// Small guards for the GDI and GDI+ handles the image code opens and must
// release on every path.
#pragma once
#include <windows.h>
#include <gdiplus.h>

namespace qub_gdi {

namespace gp = Gdiplus::DllExports;

// A GDI+ image or bitmap; disposing it also closes a file it was loaded from.
struct ScopedGpImage {
    Gdiplus::GpImage* image = nullptr;
    ScopedGpImage() = default;
    explicit ScopedGpImage(Gdiplus::GpImage* i) : image(i) {}
    ~ScopedGpImage() { Reset(); }
    void Reset() {
        if (image) gp::GdipDisposeImage(image);
        image = nullptr;
    }
    ScopedGpImage(const ScopedGpImage&) = delete;
    ScopedGpImage& operator=(const ScopedGpImage&) = delete;
};

struct ScopedGraphics {
    Gdiplus::GpGraphics* graphics = nullptr;
    ~ScopedGraphics() {
        if (graphics) gp::GdipDeleteGraphics(graphics);
    }
};

struct ScopedMemoryDC {
    HDC dc;
    explicit ScopedMemoryDC(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~ScopedMemoryDC() {
        if (dc) DeleteDC(dc);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
};

struct ScopedSelectObject {
    HDC dc;
    HGDIOBJ previous;
    ScopedSelectObject(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~ScopedSelectObject() {
        if (previous) SelectObject(dc, previous);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;
};

struct ScopedGdiObject {
    HGDIOBJ object;
    explicit ScopedGdiObject(HGDIOBJ o) : object(o) {}
    ~ScopedGdiObject() {
        if (object) DeleteObject(object);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
};

}  // namespace qub_gdi
