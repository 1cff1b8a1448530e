#include "runtime/queue/queue_registry.h"

#include <mutex>
#include <new>
#include <unordered_map>

#include "runtime/errors/error_codes.h"
#include "runtime/records/raw_field.h"

namespace varnok {

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<uint32_t, QueueDecl*> byHandle;
    std::unordered_map<const QueueDecl*, uint32_t> byQueue;
    // The next handle to give; 0 once every number was given.
    uint32_t next = 1;
};

Registry& registry() {
    static Registry r;
    return r;
}

// The first usable handle from `h` on: one whose highest byte is not a
// space; 0 when none is left.
uint32_t usableFrom(uint32_t h) {
    if ((h >> 24) == 0x20) h = 0x21000000;
    return h;
}

}  // namespace

uint32_t registerQueue(QueueDecl* q) {
    if (!q) return 0;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (auto it = r.byQueue.find(q); it != r.byQueue.end()) return it->second;
    const uint32_t handle = usableFrom(r.next);
    if (handle == 0) return 0;
    try {
        r.byHandle.emplace(handle, q);
        try {
            r.byQueue.emplace(q, handle);
        } catch (...) {
            r.byHandle.erase(handle);
            throw;
        }
    } catch (const std::bad_alloc&) {
        // No memory for the maps: the queue works on, but cannot be referred to.
        return 0;
    }
    r.next = handle + 1;  // wraps to 0 after the last number: no more handles
    return handle;
}

void unregisterQueue(const QueueDecl* q) {
    if (!q) return;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.byQueue.find(q);
    if (it == r.byQueue.end()) return;
    r.byHandle.erase(it->second);
    r.byQueue.erase(it);
}

QueueDecl* liveQueue(uint32_t handle) {
    if (handle == 0) return nullptr;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.byHandle.find(handle);
    return it == r.byHandle.end() ? nullptr : it->second;
}

uint32_t queueHandle(const QueueDecl* q) {
    if (!q) return 0;
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.byQueue.find(q);
    return it == r.byQueue.end() ? 0 : it->second;
}

size_t liveQueueCount() {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    return r.byQueue.size();
}

uint32_t queueReference(QueueDecl* q) {
    if (!q) return 0;
    if (const uint32_t h = queueHandle(q)) return h;
    if (!q->store) {
        // CHANGES creates the store (and so registers the queue); it leaves
        // the caller's error code as it found it.
        const int savedCode = errorCode();
        CHANGES(q);
        if (savedCode != NoError) postError(savedCode);
        else clearError();
    }
    return queueHandle(q);
}

void storeQueueReference(uint8_t* field, QueueDecl* q) { storeRaw<uint32_t>(field, queueReference(q)); }

uint32_t loadQueueReference(const uint8_t* field) { return loadRaw<uint32_t>(field); }

QueueDecl* queueFromReferenceText(std::string_view text) {
    if (text.size() != QueueReferenceSize) return nullptr;
    return liveQueue(loadQueueReference(reinterpret_cast<const uint8_t*>(text.data())));
}

RecordLayoutBuilder& addQueueReference(RecordLayoutBuilder& builder, std::string name) {
    return builder.field(FieldType::Queue, std::move(name), QueueReferenceSize);
}

void skipQueueHandlesTo(uint32_t next) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    if (r.next != 0 && next > r.next) r.next = next;
}

}  // namespace varnok
