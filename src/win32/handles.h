#pragma once

#include <windows.h>
#include <winhttp.h>
// After windows.h, which it needs.
#include <oleauto.h>

#include <memory>
#include <type_traits>
#include <utility>

// Owners of the Windows resources that the program takes, each freed by its own call and only
// there: nothing else in the program frees one by hand.
namespace venmarra::win32 {

struct InternetCloser {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

struct KernelCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelCloser>;

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// A window of the program's own; one that the system destroyed is released, not destroyed again.
struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

// Memory that the system allocated for the program with LocalAlloc (FormatMessage's buffer).
struct LocalFreer {
    void operator()(void *memory) const { LocalFree(memory); }
};
using LocalMemory = std::unique_ptr<void, LocalFreer>;

// Global memory for the clipboard, until the clipboard takes it (release() then).
struct GlobalFreer {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
using GlobalMemory = std::unique_ptr<void, GlobalFreer>;

// A library that the program loaded itself, for functions that this Windows may not have.
struct LibraryFreer {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer>;

// A COM object that the program was handed a reference to.
struct ComReleaser {
    void operator()(IUnknown *object) const { object->Release(); }
};
using ComReference = std::unique_ptr<IUnknown, ComReleaser>;

// A string that COM calls take (SysAllocString).
struct BstrFreer {
    void operator()(BSTR text) const { SysFreeString(text); }
};
using BstrText = std::unique_ptr<OLECHAR, BstrFreer>;

// A window's device context with `font` selected into it, as long as it lives.
class DeviceContext {
public:
    DeviceContext(HWND window, HFONT font)
        : m_window(window)
        , m_context(GetDC(window))
        , m_previous(SelectObject(m_context, font))
    {
    }
    ~DeviceContext()
    {
        SelectObject(m_context, m_previous);
        ReleaseDC(m_window, m_context);
    }
    DeviceContext(const DeviceContext &) = delete;
    DeviceContext &operator=(const DeviceContext &) = delete;

    HDC get() const { return m_context; }

private:
    HWND m_window;
    HDC m_context;
    HGDIOBJ m_previous;
};

// Memory that another owns (an EDIT's text, EM_GETHANDLE), locked for reading as long as this lives.
class LockedLocal {
public:
    explicit LockedLocal(HLOCAL memory)
        : m_memory(memory)
        , m_locked(memory ? LocalLock(memory) : nullptr)
    {
    }
    ~LockedLocal()
    {
        if (m_locked)
            LocalUnlock(m_memory);
    }
    LockedLocal(const LockedLocal &) = delete;
    LockedLocal &operator=(const LockedLocal &) = delete;

    const void *get() const { return m_locked; }

private:
    HLOCAL m_memory;
    void *m_locked;
};

// The clipboard, open for `owner` as long as it lives (if it could be opened).
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner)
        : m_open(OpenClipboard(owner) != FALSE)
    {
    }
    ~OpenClipboardScope()
    {
        if (m_open)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope &) = delete;
    OpenClipboardScope &operator=(const OpenClipboardScope &) = delete;

    explicit operator bool() const { return m_open; }

private:
    bool m_open;
};

}  // namespace venmarra::win32
