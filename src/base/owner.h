// The one owner of what the system hands out (a handle, a key, a socket): it closes it when it
// goes. It moves and never copies; get() lends the value, & fills it. Free of the platform.
#pragma once
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
    void HoldForLife() { value_ = Empty; }
    void Reset()
    {
        if (value_ != Empty) Close()(value_);
        value_ = Empty;
    }

private:
    Value value_ = Empty;
};
