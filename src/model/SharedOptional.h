#pragma once

#include <memory>
#include <optional>

// An optional value held behind a shared, immutable box. Copies share the box, so copying a
// structure that holds one costs a reference count; changing the value replaces the box. It also
// lets a type hold an optional of a type that is not complete yet (a table cell's element).
// Equality compares the values, not the boxes.
template <typename T> class SharedOptional {
public:
    SharedOptional() = default;
    SharedOptional(std::nullopt_t) {}
    SharedOptional(T value) : box_(std::make_shared<const T>(std::move(value))) {}
    SharedOptional(const std::optional<T> &value)
    {
        if (value)
            box_ = std::make_shared<const T>(*value);
    }

    bool has_value() const { return box_ != nullptr; }
    explicit operator bool() const { return has_value(); }
    const T &operator*() const { return *box_; }
    const T *operator->() const { return box_.get(); }

    void reset() { box_.reset(); }

    // Changes the held value through a copy; does nothing when there is none.
    template <typename F> void modify(F &&change)
    {
        if (!box_)
            return;
        T copy = *box_;
        change(copy);
        box_ = std::make_shared<const T>(std::move(copy));
    }

    friend bool operator==(const SharedOptional &a, const SharedOptional &b)
    {
        if (a.box_ == b.box_)
            return true;
        if (!a.box_ || !b.box_)
            return false;
        return *a.box_ == *b.box_;
    }

private:
    std::shared_ptr<const T> box_;
};
