// Move-only owners of kernel handles. Each closes what it holds exactly once
// and keeps the thread's last error intact while doing so.
#pragma once

#include <windows.h>

#include <utility>

template <typename Traits>
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE handle) : m_handle(handle) {}
    ~ScopedHandle() { Close(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : m_handle(other.Take()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other)
            Reset(other.Take());
        return *this;
    }

    bool Valid() const { return Traits::IsValid(m_handle); }
    HANDLE Get() const { return m_handle; }
    HANDLE Take() { return std::exchange(m_handle, Traits::Invalid()); }
    void Reset(HANDLE handle = Traits::Invalid())
    {
        Close();
        m_handle = handle;
    }
    void Close()
    {
        if (Valid()) {
            DWORD error = GetLastError();
            Traits::Close(m_handle);
            SetLastError(error);
        }
        m_handle = Traits::Invalid();
    }

private:
    HANDLE m_handle = Traits::Invalid();
};

struct FileHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

struct FindHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { FindClose(h); }
};

struct KernelHandleTraits {
    static HANDLE Invalid() { return nullptr; }
    static bool IsValid(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};

using FileHandle = ScopedHandle<FileHandleTraits>;
using FindHandle = ScopedHandle<FindHandleTraits>;
using KernelHandle = ScopedHandle<KernelHandleTraits>;
