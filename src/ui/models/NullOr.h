#pragma once
// A value that may be absent: "no row has the focus", "no sort column".
// Unlike a plain index it cannot be mistaken for row or column 0.

#include <stdexcept>

template <class T>
class NullOr {
public:
    NullOr() = default;
    // Implicit, so a plain value can be passed where a NullOr is expected.
    NullOr(T value) : value_(value), set_(true) {}

    static NullOr Null() { return NullOr(); }

    bool IsNull() const noexcept { return !set_; }
    bool HasValue() const noexcept { return set_; }
    explicit operator bool() const noexcept { return set_; }

    // The value; throws std::logic_error when there is none.
    const T& Value() const {
        if (!set_) throw std::logic_error("NullOr holds no value");
        return value_;
    }
    T ValueOr(T fallback) const { return set_ ? value_ : fallback; }

    // Two empty values are equal; an empty value equals no value.
    friend bool operator==(const NullOr& a, const NullOr& b) {
        return a.set_ == b.set_ && (!a.set_ || a.value_ == b.value_);
    }
    friend bool operator!=(const NullOr& a, const NullOr& b) { return !(a == b); }

private:
    T value_{};
    bool set_ = false;
};
