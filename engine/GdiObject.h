#pragma once

// Back-end objects are held as pairs: the native handle and the status of the
// last failed call on it. Callers record each call's status and carry on; a
// null handle simply makes later calls fail with InvalidParameter.
//
// Wrappers are allocated through GdipAlloc / GdipFree. Their operator new
// returns null instead of throwing, so `new GdiPath` may yield null and the
// caller skips what it could not make.

#include <cstddef>

#include "platform/gdiplus/GdiPlus.h"

// Allocation through the back end's allocator, null on failure.
class GdiAllocated {
public:
    static void* operator new(std::size_t size) noexcept { return Gdiplus::GdipAlloc(size); }
    static void operator delete(void* ptr) noexcept { Gdiplus::GdipFree(ptr); }

protected:
    GdiAllocated() = default;
    ~GdiAllocated() = default;
};

template <class Handle> class GdiObject : public GdiAllocated {
public:
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    // Stores a failing status; returns the status unchanged.
    Gdiplus::Status Record(Gdiplus::Status result) {
        if (result != Gdiplus::Ok)
            status = result;
        return result;
    }

    Handle* Get() const { return handle; }
    Gdiplus::Status GetLastStatus() const { return status; }

    // Gives up ownership of the handle.
    Handle* Detach() {
        Handle* h = handle;
        handle = nullptr;
        return h;
    }

    Handle* handle;         // native handle, may be null
    Gdiplus::Status status; // status of the last failed call, Ok when none failed

protected:
    explicit GdiObject(Handle* h) : handle(h), status(Gdiplus::Ok) {}
    ~GdiObject() = default;
};
