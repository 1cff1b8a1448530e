// One object of type T per thread, made on the thread's first `get()` and
// destroyed when the thread ends (the main thread's lives to the end of the
// program). Use it instead of a `thread_local` object that owns memory; see
// platform/thread_slot.h for why. Make it a function-local static and never
// destroy it. T's destructor must not use the same PerThread.
#pragma once
#include <new>

#include "platform/thread_slot.h"

namespace varnok {

template <class T>
class PerThread {
public:
    // This thread's object. Throws std::bad_alloc when there is no memory
    // for it or the system cannot keep it for the thread.
    T& get() {
        if (T* mine = find()) return *mine;
        return make();
    }
    // This thread's object if it has one yet, else null.
    T* find() const { return static_cast<T*>(slot_.get()); }


private:
    static void release(void* value) { delete static_cast<T*>(value); }

    T& make() {
        T* made = new T();
        if (!slot_.set(made)) {
            delete made;
            throw std::bad_alloc();
        }
        return *made;
    }

    platform::ThreadSlot slot_{&release};
};

}  // namespace varnok
