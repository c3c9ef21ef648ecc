// Start-up, shut-down and memory of the back end.

#include <atomic>
#include <cstdlib>

#include "platform/gdiplus/GdipObjects.h"

namespace Gdiplus {

const CLSID PngEncoderClsid = {
    0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

namespace {

Status NotificationHook(ULONG_PTR* token) {
    if (!token)
        return InvalidParameter;
    *token = 0;
    return Ok;
}

void NotificationUnhook(ULONG_PTR) {}

} // namespace

extern "C" {

Status WINGDIPAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input,
                                 GdiplusStartupOutput* output) {
    if (!token || !input)
        return InvalidParameter;
    if (input->GdiplusVersion != 1)
        return UnsupportedGdiplusVersion;
    if (input->SuppressBackgroundThread) {
        if (!output)
            return InvalidParameter;
        output->NotificationHook = NotificationHook;
        output->NotificationUnhook = NotificationUnhook;
    }
    // Nothing to start: Cairo needs no global set-up. The token only has to be
    // non-zero, as GDI+'s tokens are.
    static std::atomic<ULONG_PTR> next{0};
    *token = ++next;
    return Ok;
}

void WINGDIPAPI GdiplusShutdown(ULONG_PTR) {}

void* WINGDIPAPI GdipAlloc(size_t size) {
    return std::malloc(size ? size : 1);
}

void WINGDIPAPI GdipFree(void* ptr) {
    std::free(ptr);
}

} // extern "C"

} // namespace Gdiplus
