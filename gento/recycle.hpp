// Small records that every generation makes and releases by the thousand (attribute segments and
// lists) come from a free list of their own type instead of the general allocator. Ownership is
// unchanged: unique_ptr still releases them, and a released record waits on the list for the
// next one of its type. The memory is kept for reuse and reachable from the list head.
#pragma once

#include <cstddef>
#include <new>

template <typename T>
struct Recycled {
#if !defined(__SANITIZE_ADDRESS__)
    static void* operator new(std::size_t size) {
        if (size != sizeof(T) || head_ == nullptr)
            return ::operator new(size < sizeof(Slot) ? sizeof(Slot) : size);
        Slot* s = head_;
        head_ = s->next;
        return s;
    }
    static void operator delete(void* p, std::size_t size) {
        if (p == nullptr) return;
        if (size != sizeof(T)) {
            ::operator delete(p);
            return;
        }
        head_ = new (p) Slot{head_};
    }

  private:
    struct Slot {
        Slot* next;
    };
    static inline Slot* head_ = nullptr;
#endif
};
