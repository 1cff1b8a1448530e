// The expression evaluator's name-binding scopes: a stack per thread.
// PUSHBIND opens a new, empty scope on top; POPBIND closes the top one and
// with it whatever was bound there. Names looked up resolve from the top
// scope down, so a window's bindings hide those of the windows below it and
// vanish with it.
//
// No name is bound in this program yet, so a scope holds nothing; the stack
// is still kept exactly, because every PUSHBIND must be paired with one
// POPBIND (the window manager opens one scope in Init and closes it in
// Release), and the depth lets tests check that pairing.
//
// Closing a scope when none is open changes nothing and answers false (and
// is counted, so a test can see an unpaired close).
#pragma once
#include <cstdint>

namespace varnok {

// Opens a new scope; returns the depth after opening (1 for the first).
uint32_t PUSHBIND();
// Closes the top scope: true when there was one.
bool POPBIND();
// Number of scopes open on the calling thread.
uint32_t bindingDepth();
// POPBIND calls on the calling thread that found no scope open.
uint32_t unpairedPopBinds();

}  // namespace varnok
