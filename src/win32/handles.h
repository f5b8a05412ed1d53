#pragma once

#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <type_traits>

// Owners of the Windows handles that the program opens, each freed by its own call.
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

}  // namespace venmarra::win32
