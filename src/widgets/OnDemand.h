#pragma once

#include <QPointer>
#include <functional>

// A part of a window that is built the first time it is needed instead of with the window:
// the sheets and menus that nothing shows until the user asks for them. The part is a QObject
// owned by its parent; once deleted (with its parent) it is not built again.
template <typename T> class OnDemand {
public:
    OnDemand() = default;
    explicit OnDemand(std::function<T *()> build) : build_(std::move(build)) {}

    // The part, built now if it was not yet.
    T *get()
    {
        if (!built_ && build_) {
            built_ = true;
            part_ = build_();
        }
        return part_;
    }
    // The part if it has been built; null otherwise.
    T *ifBuilt() const { return part_; }

private:
    std::function<T *()> build_;
    QPointer<T> part_;
    bool built_ = false;
};
