#include "platform/thread_slot.h"

#include <pthread.h>

namespace varnok::platform {

// pthread_key_t is an unsigned int on the systems we build for; the slot
// keeps it in its own field without including the POSIX header.
static_assert(sizeof(pthread_key_t) <= sizeof(unsigned long));

ThreadSlot::ThreadSlot(Release release) {
    pthread_key_t key;
    valid_ = pthread_key_create(&key, release) == 0;
    if (valid_) index_ = static_cast<unsigned long>(key);
}

void* ThreadSlot::get() const {
    return valid_ ? pthread_getspecific(static_cast<pthread_key_t>(index_)) : nullptr;
}

bool ThreadSlot::set(void* value) {
    return valid_ && pthread_setspecific(static_cast<pthread_key_t>(index_), value) == 0;
}

}  // namespace varnok::platform
