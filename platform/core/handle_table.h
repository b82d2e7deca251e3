// Handle tables: every object of the layer (window, menu, memory block, GDI
// object, device context) is reached through a handle value drawn from one
// process-wide counter and never reused, so a stale handle, or a handle of
// another kind, is never mistaken for a live object.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

uintptr_t next_handle_value();

template <class T> class HandleTable {
  public:
    // Takes ownership of the object and returns its new handle value.
    uintptr_t add(std::unique_ptr<T> object) {
        const uintptr_t handle = next_handle_value();
        objects_[handle] = std::move(object);
        return handle;
    }

    // Adds an object under a handle value chosen by the caller.
    void add_as(uintptr_t handle, std::unique_ptr<T> object) {
        objects_[handle] = std::move(object);
    }

    T *find(const void *handle) const {
        auto it = objects_.find(reinterpret_cast<uintptr_t>(handle));
        return it == objects_.end() ? nullptr : it->second.get();
    }

    bool remove(const void *handle) {
        return objects_.erase(reinterpret_cast<uintptr_t>(handle)) > 0;
    }

    std::size_t size() const { return objects_.size(); }

  private:
    std::map<uintptr_t, std::unique_ptr<T>> objects_;
};

template <class H> H to_handle(uintptr_t value) {
    return reinterpret_cast<H>(value);
}
