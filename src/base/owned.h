// Thin owners of what Windows hands out: kernel handles and registry keys, each closed by its one
// owner when it goes. They move and never copy; get() lends the value, & fills it.
#pragma once
#include <windows.h>

#include <memory>
#include <utility>

template <typename Value, Value Empty, typename Close>
class Owned {
public:
    Owned() = default;
    explicit Owned(Value value) : value_(value) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : value_(std::exchange(other.value_, Empty)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != std::addressof(other)) {
            Reset();
            value_ = std::exchange(other.value_, Empty);
        }
        return *this;
    }
    ~Owned() { Reset(); }

    Value get() const { return value_; }
    explicit operator bool() const { return value_ != Empty; }
    // For a function that hands one back through a pointer; whatever was owned goes first.
    Value* operator&()
    {
        Reset();
        return &value_;
    }
    // Held for the life of the process from now on, closed by nobody.
    void KeepForGood() { value_ = Empty; }
    void Reset()
    {
        if (value_ != Empty) Close()(value_);
        value_ = Empty;
    }

private:
    Value value_ = Empty;
};

struct CloseKernelHandle {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct CloseRegistryKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// Events, threads, processes, tokens, mutexes: null when there is none. (The few calls that fail
// with INVALID_HANDLE_VALUE are not kept in one.)
using OwnedHandle = Owned<HANDLE, nullptr, CloseKernelHandle>;
using OwnedKey = Owned<HKEY, nullptr, CloseRegistryKey>;
