// One pointer per thread, with a release function the system calls on a
// thread that ends while its value is not null.
//
// This stands in for C++ `thread_local` objects that own memory: with the
// Windows cross compiler, the storage of such an object is given back before
// its destructor runs at thread end, so the destructor frees memory twice.
// A slot keeps the value with the system (a POSIX key, a Windows fiber-local
// index), so the release function sees the value whatever order the thread's
// clean-up takes. `thread_local` stays fine for plain data.
//
// A slot lives as long as the program: make it once (a static) and never
// destroy it. The release function must not use the slot it belongs to.
#pragma once

namespace varnok::platform {

class ThreadSlot {
public:
    using Release = void (*)(void* value);

    // Gets a slot from the system; false from `valid()` if it has none left.
    explicit ThreadSlot(Release release);

    bool valid() const { return valid_; }
    // This thread's value; null until it sets one.
    void* get() const;
    // Sets this thread's value; false if the system could not keep it.
    bool set(void* value);

private:
    unsigned long index_ = 0;  // the key or fiber-local index
    bool valid_ = false;
};

}  // namespace varnok::platform
