#pragma once
// Owners of system handles: each closes its handle with the right closer when it
// goes out of scope, so "closed on every path" holds by construction.

#include <windows.h>
#include <setupapi.h>

#include <utility>

template <typename Traits> class UniqueHandle
{
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : m_handle(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }

    // For calls that return the handle through an out pointer.
    Type* receive()
    {
        reset();
        return &m_handle;
    }

    Type release() { return std::exchange(m_handle, Traits::Invalid()); }

    void reset(Type handle = Traits::Invalid())
    {
        if (m_handle != Traits::Invalid())
            Traits::Close(m_handle);
        m_handle = handle;
    }

private:
    Type m_handle = Traits::Invalid();
};

struct KernelHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type handle) { CloseHandle(handle); }
};

// CreateFile and CreateNamedPipe answer INVALID_HANDLE_VALUE on failure, not null.
struct FileHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { CloseHandle(handle); }
};

struct RegKeyTraits
{
    using Type = HKEY;
    static Type Invalid() { return nullptr; }
    static void Close(Type key) { RegCloseKey(key); }
};

struct FindHandleTraits
{
    using Type = HANDLE;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) { FindClose(handle); }
};

struct LibraryTraits
{
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type module) { FreeLibrary(module); }
};

struct GdiObjectTraits
{
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { DeleteObject(object); }
};

struct DeviceInfoSetTraits
{
    using Type = HDEVINFO;
    static Type Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Type set) { SetupDiDestroyDeviceInfoList(set); }
};

using KernelHandle = UniqueHandle<KernelHandleTraits>;
using FileHandle = UniqueHandle<FileHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using Library = UniqueHandle<LibraryTraits>;
using GdiObject = UniqueHandle<GdiObjectTraits>;
using DeviceInfoSet = UniqueHandle<DeviceInfoSetTraits>;
