#pragma once
// Owning wrappers for Windows handles: one small type per kind of handle,
// each releasing its handle when destroyed. A failing release is dropped.

#include <windows.h>

#include <sql.h>

#include <utility>

namespace WindowsPlatform {

// Traits supply the invalid value and the release call of one handle kind.
template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Handle Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    // Address for calls that return a handle through an out parameter;
    // releases the current handle first.
    Handle* Put() noexcept {
        Reset();
        return &handle_;
    }
    Handle Release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(Handle handle = Traits::Invalid()) noexcept {
        Handle old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Close(old);
    }

private:
    Handle handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

// Handles that report failure as INVALID_HANDLE_VALUE (CreateFileW).
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindClose(h); }
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::CloseServiceHandle(h); }
};

struct ModuleTraits {
    using Handle = HMODULE;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::FreeLibrary(h); }
};

struct LocalMemoryTraits {
    using Handle = HLOCAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::LocalFree(h); }
};

// An access-control list that the security API allocated with LocalAlloc
// (SetEntriesInAclW).
struct LocalAclTraits {
    using Handle = PACL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::LocalFree(h); }
};

// ODBC environment and connection handles, freed with SQLFreeHandle of
// their handle type.
struct ODBCEnvironmentTraits {
    using Handle = SQLHENV;
    static Handle Invalid() noexcept { return SQL_NULL_HENV; }
    static void Close(Handle h) noexcept { ::SQLFreeHandle(SQL_HANDLE_ENV, h); }
};

struct ODBCConnectionTraits {
    using Handle = SQLHDBC;
    static Handle Invalid() noexcept { return SQL_NULL_HDBC; }
    static void Close(Handle h) noexcept { ::SQLFreeHandle(SQL_HANDLE_DBC, h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
using UniqueServiceHandle = UniqueHandle<ServiceHandleTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;
using UniqueLocalAcl = UniqueHandle<LocalAclTraits>;

}  // namespace WindowsPlatform
