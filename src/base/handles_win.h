#pragma once
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>

#include <utility>

namespace lumaforge {

// One move-only owner per kind of handle; copying is deleted so a handle is closed exactly once.
template <typename Handle, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Handle handle) : handle_(handle) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) {
        if (Traits::IsValid(handle_))
            Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
using UniqueHandle = UniqueResource<HANDLE, KernelHandleTraits>;

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { FindClose(h); }
};
using UniqueFindHandle = UniqueResource<HANDLE, FindHandleTraits>;

struct HKeyTraits {
    static HKEY Invalid() { return nullptr; }
    static bool IsValid(HKEY h) { return h != nullptr; }
    static void Close(HKEY h) { RegCloseKey(h); }
};
using UniqueHKey = UniqueResource<HKEY, HKeyTraits>;

struct ModuleTraits {
    static HMODULE Invalid() { return nullptr; }
    static bool IsValid(HMODULE h) { return h != nullptr; }
    static void Close(HMODULE h) { FreeLibrary(h); }
};
using UniqueModule = UniqueResource<HMODULE, ModuleTraits>;

struct MenuTraits {
    static HMENU Invalid() { return nullptr; }
    static bool IsValid(HMENU h) { return h != nullptr; }
    static void Close(HMENU h) { DestroyMenu(h); }
};
using UniqueMenu = UniqueResource<HMENU, MenuTraits>;

struct ImageListTraits {
    static HIMAGELIST Invalid() { return nullptr; }
    static bool IsValid(HIMAGELIST h) { return h != nullptr; }
    static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
using UniqueImageList = UniqueResource<HIMAGELIST, ImageListTraits>;

struct InternetHandleTraits {
    static HINTERNET Invalid() { return nullptr; }
    static bool IsValid(HINTERNET h) { return h != nullptr; }
    static void Close(HINTERNET h) { InternetCloseHandle(h); }
};
using UniqueHInternet = UniqueResource<HINTERNET, InternetHandleTraits>;

template <typename T>
struct GdiObjTraits {
    static T Invalid() { return nullptr; }
    static bool IsValid(T h) { return h != nullptr; }
    static void Close(T h) { DeleteObject(h); }
};
template <typename T>
using UniqueGdiObj = UniqueResource<T, GdiObjTraits<T>>;

struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static bool IsValid(HDC h) { return h != nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueMemoryDc = UniqueResource<HDC, MemoryDcTraits>;

class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    ~ScopedSelectObject() { SelectObject(dc_, old_); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A solid pen (brush) made for some drawing and selected into the DC for the scope: at its end the
// DC gets its old one back and the new one is deleted.
class ScopedPen {
public:
    ScopedPen(HDC dc, COLORREF color, int width = 1)
        : pen_(CreatePen(PS_SOLID, width, color)), select_(dc, pen_.Get()) {}

private:
    UniqueGdiObj<HPEN> pen_;
    ScopedSelectObject select_;
};

class ScopedBrush {
public:
    ScopedBrush(HDC dc, COLORREF color) : brush_(CreateSolidBrush(color)), select_(dc, brush_.Get()) {}

private:
    UniqueGdiObj<HBRUSH> brush_;
    ScopedSelectObject select_;
};

// Restores the whole state of a device context (brush, pen, colours, font) on scope exit.
class ScopedSaveDc {
public:
    explicit ScopedSaveDc(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    ~ScopedSaveDc() { RestoreDC(dc_, saved_); }
    ScopedSaveDc(const ScopedSaveDc&) = delete;
    ScopedSaveDc& operator=(const ScopedSaveDc&) = delete;

private:
    HDC dc_;
    int saved_;
};

}  // namespace lumaforge
