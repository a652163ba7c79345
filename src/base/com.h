// Thin owners of COM: an interface released, and a BSTR freed, by its one owner when it goes.
#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>

// A COM interface released when it goes out of scope.
template <typename Interface>
struct ComReference {
    Interface* pointer = nullptr;
    ComReference() = default;
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;
    ComReference(ComReference&& other) noexcept : pointer(other.pointer) { other.pointer = nullptr; }
    ~ComReference()
    {
        if (pointer) pointer->Release();
    }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }
    // For a function that hands one back through a pointer; whatever was held goes first.
    Interface** operator&()
    {
        if (pointer) pointer->Release();
        pointer = nullptr;
        return &pointer;
    }
};

// A BSTR freed when it goes out of scope.
struct OwnedBstr {
    BSTR value = nullptr;
    explicit OwnedBstr(const wchar_t* text = nullptr) : value(text ? SysAllocString(text) : nullptr) {}
    ~OwnedBstr() { SysFreeString(value); }
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    std::wstring String() const { return value ? std::wstring(value, SysStringLen(value)) : std::wstring(); }
};
