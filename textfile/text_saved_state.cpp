#include "textfile/text_saved_state.h"

#include <cstring>
#include <mutex>
#include <set>
#include <vector>

namespace varnok::textfile {

namespace {

struct SavedState {
    std::vector<uint8_t> record;
    DriverOptions options;
    uint64_t lineStart = 0;
    uint64_t lineLength = 0;
    uint64_t nextRead = 1;
    bool haveRecord = false;
    bool bytesMeansLine = false;
};

struct LiveStates {
    std::mutex mutex;
    std::set<SavedState*> handles;
};
LiveStates& live() {
    static LiveStates states;
    return states;
}

SavedState* find(void* handle) {
    auto* state = static_cast<SavedState*>(handle);
    return live().handles.count(state) ? state : nullptr;
}

}  // namespace

void* saveState(const TextControlBlock& cb) {
    auto* state = new SavedState;
    state->record.assign(cb.record, cb.record + cb.recordBytes);
    state->options = cb.options;
    state->lineStart = cb.lineStart;
    state->lineLength = cb.lineLength;
    state->nextRead = cb.nextRead;
    state->haveRecord = cb.haveRecord;
    state->bytesMeansLine = cb.bytesMeansLine;
    std::lock_guard<std::mutex> guard(live().mutex);
    live().handles.insert(state);
    return state;
}

int32_t restoreState(TextControlBlock& cb, void* handle) {
    if (!handle) return 78;
    std::lock_guard<std::mutex> guard(live().mutex);
    SavedState* state = find(handle);
    if (!state || state->record.size() != cb.recordBytes) return 78;
    std::memcpy(cb.record, state->record.data(), cb.recordBytes);
    const uint32_t currentBuffer = cb.options.bufferSize;
    cb.options = state->options;
    if (cb.options.bufferSize != currentBuffer && !cb.resizeReadBuffer(cb.options.bufferSize)) {
        cb.options.bufferSize = currentBuffer;
    }
    cb.readBufferChanged();
    cb.lineStart = state->lineStart;
    cb.lineLength = state->lineLength;
    cb.nextRead = state->nextRead;
    cb.haveRecord = state->haveRecord;
    cb.bytesMeansLine = state->bytesMeansLine;
    return 0;
}

void freeState(void* handle) {
    if (!handle) return;
    std::lock_guard<std::mutex> guard(live().mutex);
    if (SavedState* state = find(handle)) {
        live().handles.erase(state);
        delete state;
    }
}

}  // namespace varnok::textfile
