// PointerList: the growable list every registry and library keeps its elements in, in order of
// appending. It owns its elements. Growth is one slot at a time beyond the initial capacity, and `at`
// answers any index: outside 0 … count − 1 it yields the last element, and null for an empty list.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace halcyra {

template <typename T>
class PointerList {
public:
    explicit PointerList(int32_t initialCapacity = 0) { resize(initialCapacity); }

    // Appends `element` and returns its index.
    int32_t append(std::unique_ptr<T> element) {
        if (count() + 1 > capacity_)
            resize(count() + 1);
        items.push_back(std::move(element));
        return count() - 1;
    }

    T* at(int32_t index) const {
        if (items.empty())
            return nullptr;
        if (index < 0 || index >= count())
            return items.back().get();
        return items[static_cast<size_t>(index)].get();
    }

    // Sets the capacity to `n`; elements beyond it are dropped.
    void resize(int32_t n) {
        if (n < 0)
            n = 0;
        if (static_cast<size_t>(n) < items.size())
            items.resize(static_cast<size_t>(n));
        items.reserve(static_cast<size_t>(n));
        capacity_ = n;
    }

    // Releases the elements in order of appending, then the slots.
    void clear() {
        for (auto& item : items)
            item.reset();
        items.clear();
        capacity_ = 0;
    }

    int32_t count() const { return static_cast<int32_t>(items.size()); }
    int32_t capacity() const { return capacity_; }

    auto begin() const { return items.begin(); }
    auto end() const { return items.end(); }

private:
    std::vector<std::unique_ptr<T>> items;
    int32_t capacity_ = 0;
};

} // namespace halcyra
