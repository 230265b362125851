#pragma once

#include <QExplicitlySharedDataPointer>
#include <QList>
#include <QSharedData>

#include <algorithm>
#include <compare>
#include <initializer_list>
#include <iterator>
#include <type_traits>
#include <utility>

// A list of values that keeps each value in a box of its own. Copies of the list share the
// boxes, so a copy costs one handle per place, and writing to one place copies only that place's
// value, and only while another list still shares it. Reading never copies: reach the values
// through a const list (or at()) where nothing is written.
//
// It reads and writes like QList for the members the model uses, and converts to and from
// QList<T> (each conversion copies the values). Equality compares values; places that share a
// box compare equal without looking at the value.
template <typename T> class CopyOnWriteList {
    struct Box : QSharedData {
        explicit Box(const T &v) : value(v) {}
        explicit Box(T &&v) : value(std::move(v)) {}
        // The value made in place by `make`, without a move.
        template <typename Make> explicit Box(std::in_place_t, Make &&make) : value(make()) {}
        T value;
    };
    using Slot = QExplicitlySharedDataPointer<Box>;

    static Slot box(const T &value) { return Slot(new Box(value)); }
    static Slot box(T &&value) { return Slot(new Box(std::move(value))); }

public:
    using value_type = T;
    using size_type = qsizetype;
    using difference_type = qsizetype;
    using reference = T &;
    using const_reference = const T &;
    using pointer = T *;
    using const_pointer = const T *;

    // Random-access iterators over the places. Dereferencing a mutable one gives a value of this
    // list alone: a shared box is copied first.
    template <bool Mutable> class Iterator {
        using SlotPointer = std::conditional_t<Mutable, Slot *, const Slot *>;

    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = qsizetype;
        using pointer = std::conditional_t<Mutable, T *, const T *>;
        using reference = std::conditional_t<Mutable, T &, const T &>;

        Iterator() = default;
        explicit Iterator(SlotPointer slot) : slot_(slot) {}

        reference operator*() const { return (*this)[0]; }
        pointer operator->() const { return &(*this)[0]; }
        reference operator[](qsizetype n) const
        {
            if constexpr (Mutable)
                return own(slot_[n]);
            else
                return slot_[n]->value;
        }
        Iterator &operator++() { return ++slot_, *this; }
        Iterator operator++(int) { return Iterator(slot_++); }
        Iterator &operator--() { return --slot_, *this; }
        Iterator operator--(int) { return Iterator(slot_--); }
        Iterator &operator+=(qsizetype n) { return slot_ += n, *this; }
        Iterator &operator-=(qsizetype n) { return slot_ -= n, *this; }
        friend Iterator operator+(Iterator i, qsizetype n) { return i += n; }
        friend Iterator operator+(qsizetype n, Iterator i) { return i += n; }
        friend Iterator operator-(Iterator i, qsizetype n) { return i -= n; }
        friend qsizetype operator-(Iterator a, Iterator b) { return a.slot_ - b.slot_; }
        friend bool operator==(Iterator, Iterator) = default;
        friend std::strong_ordering operator<=>(Iterator, Iterator) = default;
        operator Iterator<false>() const requires Mutable { return Iterator<false>(slot_); }

    private:
        SlotPointer slot_ = nullptr;
    };
    using iterator = Iterator<true>;
    using const_iterator = Iterator<false>;

    // One value of a list, held apart from it and read only: it shares the place's box, so
    // holding it costs a handle, and the list copies the value before it next changes it.
    class Shared {
    public:
        Shared() = default;
        // A value of no list, in a box of its own.
        explicit Shared(const T &value) : slot_(box(value)) {}

        const T &operator*() const { return slot_->value; }
        const T *operator->() const { return &slot_->value; }
        // Whether both hold the very same box, and so the same value.
        bool isSameBox(const Shared &other) const { return slot_ == other.slot_; }

    private:
        friend class CopyOnWriteList;
        explicit Shared(const Slot &slot) : slot_(slot) {}
        Slot slot_;
    };
    // The value at place `i`, shared.
    Shared shared(qsizetype i) const { return Shared(slots_.at(i)); }

    CopyOnWriteList() = default;
    CopyOnWriteList(std::initializer_list<T> values)
    {
        slots_.reserve(qsizetype(values.size()));
        for (const T &value : values)
            slots_.append(box(value));
    }
    CopyOnWriteList(const QList<T> &values)
    {
        slots_.reserve(values.size());
        for (const T &value : values)
            slots_.append(box(value));
    }
    CopyOnWriteList(QList<T> &&values)
    {
        slots_.reserve(values.size());
        for (T &value : values)
            slots_.append(box(std::move(value)));
        values.clear();
    }

    operator QList<T>() const
    {
        QList<T> values;
        values.reserve(size());
        for (const Slot &slot : slots_)
            values.append(slot->value);
        return values;
    }

    qsizetype size() const { return slots_.size(); }
    qsizetype count() const { return slots_.size(); }
    bool isEmpty() const { return slots_.isEmpty(); }
    bool empty() const { return slots_.isEmpty(); }
    void reserve(qsizetype capacity) { slots_.reserve(capacity); }
    void clear() { slots_.clear(); }

    const T &at(qsizetype i) const { return slots_.at(i)->value; }
    const T &operator[](qsizetype i) const { return at(i); }
    T &operator[](qsizetype i) { return own(slots_[i]); }
    const T &first() const { return at(0); }
    T &first() { return (*this)[0]; }
    const T &constFirst() const { return at(0); }
    const T &last() const { return at(size() - 1); }
    T &last() { return (*this)[size() - 1]; }
    const T &constLast() const { return at(size() - 1); }
    T value(qsizetype i, const T &fallback = T()) const
    {
        return i >= 0 && i < size() ? at(i) : fallback;
    }

    // The places from `pos` on (`length` of them, or all), sharing their values.
    CopyOnWriteList mid(qsizetype pos, qsizetype length = -1) const
    {
        CopyOnWriteList part;
        part.slots_ = slots_.mid(pos, length);
        return part;
    }

    void append(const T &value) { slots_.append(box(value)); }
    void append(T &&value) { slots_.append(box(std::move(value))); }
    void append(const CopyOnWriteList &other) { slots_.append(other.slots_); }
    // Appends the value `make()` returns, made in its box; gives it.
    template <typename Make>
    requires std::is_invocable_r_v<T, Make &> T &appendMade(Make &&make)
    {
        slots_.append(Slot(new Box(std::in_place, make)));
        return slots_.last()->value;
    }
    void push_back(const T &value) { append(value); }
    void push_back(T &&value) { append(std::move(value)); }
    void prepend(const T &value) { slots_.prepend(box(value)); }
    void prepend(T &&value) { slots_.prepend(box(std::move(value))); }
    void insert(qsizetype i, const T &value) { slots_.insert(i, box(value)); }
    void insert(qsizetype i, T &&value) { slots_.insert(i, box(std::move(value))); }
    // Puts a new value at a place without copying the old one first.
    void replace(qsizetype i, const T &value) { slots_[i] = box(value); }
    void replace(qsizetype i, T &&value) { slots_[i] = box(std::move(value)); }
    CopyOnWriteList &operator<<(const T &value) { return append(value), *this; }
    CopyOnWriteList &operator+=(const T &value) { return append(value), *this; }

    void removeAt(qsizetype i) { slots_.removeAt(i); }
    void removeFirst() { slots_.removeFirst(); }
    void removeLast() { slots_.removeLast(); }
    T takeAt(qsizetype i) { return take(slots_.takeAt(i)); }
    T takeFirst() { return takeAt(0); }
    T takeLast() { return takeAt(size() - 1); }
    template <typename Predicate> qsizetype removeIf(Predicate pred)
    {
        return slots_.removeIf([&](const Slot &slot) { return pred(std::as_const(slot->value)); });
    }
    void swapItemsAt(qsizetype i, qsizetype j) { slots_.swapItemsAt(i, j); }
    void move(qsizetype from, qsizetype to) { slots_.move(from, to); }

    const_iterator begin() const { return const_iterator(slots_.constData()); }
    const_iterator end() const { return const_iterator(slots_.constData() + slots_.size()); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    const_iterator constBegin() const { return begin(); }
    const_iterator constEnd() const { return end(); }
    iterator begin() { return iterator(slots_.data()); }
    iterator end() { return iterator(slots_.data() + slots_.size()); }

    friend bool operator==(const CopyOnWriteList &a, const CopyOnWriteList &b)
    {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i) {
            const Slot &x = a.slots_.at(i);
            const Slot &y = b.slots_.at(i);
            if (x != y && !(x->value == y->value))
                return false;
        }
        return true;
    }
    friend bool operator==(const CopyOnWriteList &a, const QList<T> &b)
    {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.cbegin());
    }

private:
    static T &own(Slot &slot)
    {
        slot.detach();
        return slot->value;
    }
    static T take(Slot &&slot)
    {
        if (slot->ref.loadRelaxed() == 1)
            return std::move(slot->value);
        return slot->value;
    }

    QList<Slot> slots_;
};
