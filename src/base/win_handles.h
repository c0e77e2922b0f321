// Move-only owners for the kernel and GDI handles the program keeps.
#pragma once
#include <windows.h>

#include <memory>

struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, KernelHandleCloser>;

// CreateFileW reports failure as INVALID_HANDLE_VALUE, not null.
inline UniqueHandle ownFileHandle(HANDLE handle) noexcept
{
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

struct FindCloser {
    void operator()(HANDLE handle) const noexcept { FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;
