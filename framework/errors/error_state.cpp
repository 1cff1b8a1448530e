#include "framework/errors/error_state.h"

#include <atomic>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "runtime/support/per_thread.h"

namespace varnok::framework {

void setStateText(StateText& field, std::string_view text) {
    const size_t n = text.size() < StateTextSize - 1 ? text.size() : StateTextSize - 1;
    if (n > 0) std::memcpy(field, text.data(), n);  // an empty view may hold no pointer
    field[n] = '\0';
}

namespace {

std::atomic<uint64_t> lastId{0};

struct ThreadInstances {
    std::unordered_map<uint64_t, std::unique_ptr<ErrorState>> byId;
    uint64_t lastAsked = 0;  // the id asked for last and its instance: one compare in the common case
    ErrorState* lastFound = nullptr;
};

ThreadInstances& threadInstances() {
    static PerThread<ThreadInstances> instances;
    return instances.get();
}

}  // namespace

ThreadErrorState::ThreadErrorState() : id_(++lastId) {}

ErrorState& ThreadErrorState::current() {
    ThreadInstances& mine = threadInstances();
    if (mine.lastAsked == id_) return *mine.lastFound;
    std::unique_ptr<ErrorState>& slot = mine.byId[id_];
    if (!slot) slot = std::make_unique<ErrorState>();
    mine.lastAsked = id_;
    mine.lastFound = slot.get();
    return *slot;
}

ThreadErrorState& errorStates() {
    static ThreadErrorState states;
    return states;
}

}  // namespace varnok::framework
