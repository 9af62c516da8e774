#include "image/gdiplus_codec_win.h"

#include <objidl.h>
#include <gdiplus.h>

#include <cwchar>

#include "image/gdi_guards_win.h"

namespace gp = Gdiplus::DllExports;
using Gdiplus::Ok;
using qub_gdi::ScopedGpImage;

bool QUB_FindEncoder(const wchar_t* mimeType, CLSID* classId) {
    UINT count = 0, bytes = 0;
    if (gp::GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes == 0) return false;
    std::vector<unsigned char> raw(bytes);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(raw.data());
    if (gp::GdipGetImageEncoders(count, bytes, codecs) != Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (codecs[i].MimeType && std::wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *classId = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

bool QUB_EncodeJpeg(const uint32_t* pixels, int width, int height, size_t stride, int quality,
                    std::vector<uint8_t>* out) {
    out->clear();
    if (width <= 0 || height <= 0 || stride > static_cast<size_t>(INT32_MAX / 4)) return false;
    CLSID encoder;
    if (!QUB_FindEncoder(L"image/jpeg", &encoder)) return false;
    Gdiplus::GpBitmap* wrapped = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, static_cast<INT>(stride * 4),
                                      PixelFormat32bppRGB,
                                      reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)),
                                      &wrapped) != Ok)
        return false;
    ScopedGpImage wrappedGuard(wrapped);
    // The encoder is given 24-bit pixels, the form it writes correctly.
    Gdiplus::GpBitmap* clone = nullptr;
    if (gp::GdipCloneBitmapAreaI(0, 0, width, height, PixelFormat24bppRGB, wrapped, &clone) !=
        Ok)
        return false;
    ScopedGpImage cloneGuard(clone);
    wrappedGuard.Reset();

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(nullptr, TRUE, &stream) != S_OK) return false;
    ULONG value = static_cast<ULONG>(quality < 0 ? 0 : quality > 100 ? 100 : quality);
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &value;
    bool ok = gp::GdipSaveImageToStream(clone, stream, &encoder, &parameters) == Ok;
    STATSTG stat = {};
    ok = ok && stream->Stat(&stat, STATFLAG_NONAME) == S_OK && stat.cbSize.QuadPart > 0 &&
         stat.cbSize.QuadPart < (1ull << 31);
    HGLOBAL memory = nullptr;
    if (ok && GetHGlobalFromStream(stream, &memory) == S_OK) {
        const void* bytes = GlobalLock(memory);
        if (bytes) {
            const auto* b = static_cast<const uint8_t*>(bytes);
            out->assign(b, b + static_cast<size_t>(stat.cbSize.QuadPart));
            GlobalUnlock(memory);
        }
    }
    stream->Release();
    return !out->empty();
}
