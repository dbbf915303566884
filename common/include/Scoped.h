// Small owners for Win32 handles, device contexts, GDI selections, COM
// pointers and BSTRs. Giving a value back never changes the thread's last
// error: code that reads it after a scope ends, or after an owner is reset,
// sees the failing call's, not the close call's.
// Header-only: each program compiles its own copy, none links another's code.
#pragma once

#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <memory>
#include <utility>

namespace scoped {

// Keeps the thread's last error across one scope (a close call).
class LastErrorKept {
public:
    LastErrorKept() noexcept : error_(::GetLastError()) {}
    ~LastErrorKept() { ::SetLastError(error_); }
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    DWORD error_;
};

// Owns one value described by Traits: Traits::Type, Traits::invalid() and
// Traits::close(value). Move-only.
template <typename Traits>
class Unique {
public:
    using T = typename Traits::Type;

    Unique() noexcept = default;
    explicit Unique(T value) noexcept : value_(value) {}
    ~Unique() { reset(); }

    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Traits::invalid(); }

    // Frees the current value first, so the address can be handed to an API.
    T* put() noexcept {
        reset();
        return &value_;
    }
    T release() noexcept {
        T v = value_;
        value_ = Traits::invalid();
        return v;
    }
    void reset(T value = Traits::invalid()) noexcept {
        if (value_ != Traits::invalid()) {
            LastErrorKept kept;
            Traits::close(value_);
        }
        value_ = value;
    }

private:
    T value_ = Traits::invalid();
};

// Traits for values whose invalid value is NULL.
template <typename T, typename R, R(WINAPI* Close)(T)>
struct NullTraits {
    using Type = T;
    static T invalid() noexcept { return nullptr; }
    static void close(T v) noexcept { Close(v); }
};

// Traits for values whose invalid value is INVALID_HANDLE_VALUE.
template <BOOL(WINAPI* Close)(HANDLE)>
struct InvalidHandleTraits {
    using Type = HANDLE;
    static HANDLE invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE v) noexcept { Close(v); }
};

// Handles whose invalid value is NULL (processes, threads, events, mappings).
using Handle = Unique<NullTraits<HANDLE, BOOL, ::CloseHandle>>;
// Handles whose invalid value is INVALID_HANDLE_VALUE (CreateFile results).
using FileHandle = Unique<InvalidHandleTraits<::CloseHandle>>;
// FindFirstFile search handles.
using FindHandle = Unique<InvalidHandleTraits<::FindClose>>;
using Key = Unique<NullTraits<HKEY, LONG, ::RegCloseKey>>;
using Module = Unique<NullTraits<HMODULE, BOOL, ::FreeLibrary>>;
using GdiObject = Unique<NullTraits<HGDIOBJ, BOOL, ::DeleteObject>>;
using MemoryDC = Unique<NullTraits<HDC, BOOL, ::DeleteDC>>;
using Window = Unique<NullTraits<HWND, BOOL, ::DestroyWindow>>;
using LocalMemory = Unique<NullTraits<HLOCAL, HLOCAL, ::LocalFree>>;
using Bstr = Unique<NullTraits<BSTR, void, ::SysFreeString>>;

// A window's device context from GetDC (null: the screen's), given back with
// ReleaseDC to the same window, which it therefore remembers. Move-only.
class WindowDC {
public:
    WindowDC() noexcept = default;
    explicit WindowDC(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDC() { reset(); }

    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(other.dc_) {
        other.dc_ = nullptr;
    }
    WindowDC& operator=(WindowDC&& other) noexcept {
        if (this != &other) {
            reset();
            window_ = other.window_;
            dc_ = other.dc_;
            other.dc_ = nullptr;
        }
        return *this;
    }

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }
    void reset() noexcept {
        if (dc_) {
            LastErrorKept kept;
            ::ReleaseDC(window_, dc_);
        }
        dc_ = nullptr;
    }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
};

// An object (bitmap, brush, pen, font) selected into a DC for one scope; the
// object it replaced goes back at the end, before the caller deletes either
// the DC or the object, so declare it after the owners of both. Not for
// regions, which SelectObject copies instead of selecting.
class Selection {
public:
    Selection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~Selection() {
        if (!old_ || old_ == HGDI_ERROR) return;
        LastErrorKept kept;
        ::SelectObject(dc_, old_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A block from the process heap (HeapAlloc), freed with HeapFree.
struct ProcessHeapFree {
    void operator()(void* p) const noexcept {
        LastErrorKept kept;
        ::HeapFree(::GetProcessHeap(), 0, p);
    }
};
template <typename T>
using HeapBlock = std::unique_ptr<T, ProcessHeapFree>;

// A counted reference to a COM interface.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) noexcept {
        if (this != &other) {
            if (other.p_) other.p_->AddRef();
            reset();
            p_ = other.p_;
        }
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = other.p_;
            other.p_ = nullptr;
        }
        return *this;
    }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr c;
        c.p_ = p;
        return c;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    T** put() noexcept {
        reset();
        return &p_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    T* detach() noexcept {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void reset() noexcept {
        if (p_) {
            T* p = p_;
            p_ = nullptr;
            LastErrorKept kept;
            p->Release();
        }
    }

    template <typename U>
    HRESULT As(const IID& iid, ComPtr<U>& out) const noexcept {
        if (!p_) return E_POINTER;
        return p_->QueryInterface(iid, out.put_void());
    }

private:
    T* p_ = nullptr;
};

// CoInitialize / OleInitialize for one scope; undoes only what succeeded.
class ComApartment {
public:
    ComApartment() noexcept : hr_(::CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

class OleApartment {
public:
    OleApartment() noexcept : hr_(::OleInitialize(nullptr)) {}
    ~OleApartment() {
        if (SUCCEEDED(hr_)) ::OleUninitialize();
    }
    OleApartment(const OleApartment&) = delete;
    OleApartment& operator=(const OleApartment&) = delete;
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

}  // namespace scoped
