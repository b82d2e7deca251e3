// Handle tables: every object of the layer (window, menu, memory block, GDI
// object, device context) is reached through a handle value drawn from one
// process-wide counter and never reused, so a stale handle, or a handle of
// another kind, is never mistaken for a live object.
//
// A table is an open-addressing hash table (linear probing) from the handle
// value to the object: drawing looks up its context, pen, brush and bitmap
// several times per call, and a probe into one flat array is much cheaper
// than walking a tree of separately allocated nodes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace portable_win32 {

uintptr_t next_handle_value();

template <class T> class HandleTable {
  public:
    // Takes ownership of the object and returns its new handle value.
    uintptr_t add(std::unique_ptr<T> object) {
        const uintptr_t handle = next_handle_value();
        add_as(handle, std::move(object));
        return handle;
    }

    // Adds an object under a handle value chosen by the caller (never 0); an
    // object already under that value is replaced.
    void add_as(uintptr_t handle, std::unique_ptr<T> object) {
        const std::size_t existing = index_of(handle);
        if (existing != NOT_FOUND) {
            slots_[existing].object = std::move(object);
            return;
        }
        if ((count_ + 1) * 2 > slots_.size()) {
            grow();
        }
        std::size_t i = home(handle);
        while (slots_[i].handle != 0) {
            i = (i + 1) & mask();
        }
        slots_[i].handle = handle;
        slots_[i].object = std::move(object);
        count_++;
    }

    T *find(const void *handle) const {
        const std::size_t i = index_of(reinterpret_cast<uintptr_t>(handle));
        return i == NOT_FOUND ? nullptr : slots_[i].object.get();
    }

    // Removes the object from the table and hands it to the caller; null
    // when the handle names nothing in the table.
    std::unique_ptr<T> take(const void *handle) {
        std::size_t i = index_of(reinterpret_cast<uintptr_t>(handle));
        if (i == NOT_FOUND) {
            return nullptr;
        }
        std::unique_ptr<T> object = std::move(slots_[i].object);
        slots_[i].handle = 0;
        count_--;
        // Backward-shift deletion: entries after the hole that would no
        // longer be found from their home slot move into it.
        for (std::size_t j = (i + 1) & mask(); slots_[j].handle != 0; j = (j + 1) & mask()) {
            const std::size_t k = home(slots_[j].handle);
            const bool stays = i <= j ? (i < k && k <= j) : (i < k || k <= j);
            if (!stays) {
                slots_[i] = std::move(slots_[j]);
                slots_[j].handle = 0;
                i = j;
            }
        }
        return object;
    }

    bool remove(const void *handle) { return take(handle) != nullptr; }

    std::size_t size() const { return count_; }

  private:
    struct Slot {
        uintptr_t handle = 0; // 0: empty (no handle value is 0)
        std::unique_ptr<T> object;
    };

    static constexpr std::size_t NOT_FOUND = ~static_cast<std::size_t>(0);

    std::size_t mask() const { return slots_.size() - 1; }

    // Fibonacci hashing: consecutive handle values land far apart, and the
    // top bits of the product are the slot.
    std::size_t home(uintptr_t handle) const {
        return static_cast<std::size_t>((static_cast<uint64_t>(handle) * 0x9E3779B97F4A7C15ull) >>
                                        (64 - bits_));
    }

    std::size_t index_of(uintptr_t handle) const {
        if (handle == 0 || slots_.empty()) {
            return NOT_FOUND;
        }
        for (std::size_t i = home(handle);; i = (i + 1) & mask()) {
            if (slots_[i].handle == handle) {
                return i;
            }
            if (slots_[i].handle == 0) {
                return NOT_FOUND;
            }
        }
    }

    // Doubles the slots (at least 16) and puts every entry in its new place;
    // at most half the slots are ever in use, so probes stay short.
    void grow() {
        std::vector<Slot> old = std::move(slots_);
        bits_ = old.empty() ? 4 : bits_ + 1;
        slots_ = std::vector<Slot>(static_cast<std::size_t>(1) << bits_);
        for (Slot &s : old) {
            if (s.handle != 0) {
                std::size_t i = home(s.handle);
                while (slots_[i].handle != 0) {
                    i = (i + 1) & mask();
                }
                slots_[i] = std::move(s);
            }
        }
    }

    std::vector<Slot> slots_;
    std::size_t count_ = 0;
    unsigned bits_ = 0;
};

template <class H> H to_handle(uintptr_t value) {
    return reinterpret_cast<H>(value);
}

} // namespace portable_win32
