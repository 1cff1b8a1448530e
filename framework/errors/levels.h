// Levels: the byte with which the error manager answers a raised error and
// with which every window handler answers an event. One set of numbers,
// read two ways:
//
//     value  name           as a message's fatality        as an answer
//     0      LevelQuiet     nothing is shown               go on (a question: Yes)
//     1      LevelAsk       a Yes/No question              -
//     2      LevelInternal  an internal error: as fatal    -
//     3      LevelFatal     a message, then the end        end the event loop
//     4      LevelCancel    a question whose No cancels    cancel (a question: No)
//     5      LevelNotify    an information message         the event is handled:
//                                                          skip the rest of its
//                                                          processing
//
// Code that answers or tests a level names it; a bare digit is left only
// in the test "anything but go on" (`if (uint8_t r = Base::Init()) return r;`).
// framework/errors/README.md shows the convention with examples.
#pragma once
#include <cstdint>

namespace varnok::framework {

enum FatalityLevel : uint8_t {
    LevelQuiet = 0,
    LevelAsk = 1,
    LevelInternal = 2,
    LevelFatal = 3,
    LevelCancel = 4,
    LevelNotify = 5,
};

}  // namespace varnok::framework
