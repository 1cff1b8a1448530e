#include "platform/thread_slot.h"

#include <windows.h>

// On 64-bit Windows there is one calling convention, so the release
// function can be the callback itself.
#ifndef _WIN64
#error "the thread slot passes its release function as a WINAPI callback"
#endif

namespace varnok::platform {

// A fiber-local index: its callback runs as the thread ends (ExitThread),
// after the compiler's own thread storage has been taken down, which is
// why the value is kept here and not in a thread_local.
ThreadSlot::ThreadSlot(Release release) {
    const DWORD index = FlsAlloc(reinterpret_cast<PFLS_CALLBACK_FUNCTION>(release));
    valid_ = index != FLS_OUT_OF_INDEXES;
    if (valid_) index_ = index;
}

void* ThreadSlot::get() const { return valid_ ? FlsGetValue(index_) : nullptr; }

bool ThreadSlot::set(void* value) { return valid_ && FlsSetValue(index_, value) != 0; }

}  // namespace varnok::platform
