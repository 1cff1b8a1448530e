#include "runtime/support/binding_scope.h"

#include <vector>

#include "runtime/support/per_thread.h"

namespace varnok {

namespace {

// One scope: the names bound in it. Nothing binds names yet, so a scope is
// empty; it exists so that closing one drops exactly what it held.
struct BindingScope {};

struct ScopeStack {
    std::vector<BindingScope> scopes;
    uint32_t unpairedPops = 0;
};

ScopeStack& stack() {
    static PerThread<ScopeStack> stacks;
    return stacks.get();
}

}  // namespace

uint32_t PUSHBIND() {
    ScopeStack& s = stack();
    s.scopes.emplace_back();
    return static_cast<uint32_t>(s.scopes.size());
}

bool POPBIND() {
    ScopeStack& s = stack();
    if (s.scopes.empty()) {
        ++s.unpairedPops;
        return false;
    }
    s.scopes.pop_back();
    return true;
}

uint32_t bindingDepth() { return static_cast<uint32_t>(stack().scopes.size()); }

uint32_t unpairedPopBinds() { return stack().unpairedPops; }

}  // namespace varnok
