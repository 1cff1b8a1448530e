// ListSource: what a list control shows, asked for on demand, one cell at a
// time; a list never copies its rows. Each row is a record whose fields are
// numbered 1, 2, ... in record order; the list's column format decides which
// field each column shows and through which picture (window/list_format.h).
// The program's queues are shown through framework/windows/queue_list_source.h.
#pragma once
#include <cstdint>
#include <string>

namespace varnok::window {

class ListSource {
public:
    virtual ~ListSource() = default;
    virtual int32_t rowCount() = 0;
    // The value of field `field` of row `row` (both 1-based) as text: numbers
    // in plain decimal, texts without trailing spaces; empty past the last
    // row or field.
    virtual std::string fieldText(int32_t row, int field) = 0;
    // A number that moves whenever rows were added, removed or changed.
    virtual uint32_t changeStamp() = 0;
};

}  // namespace varnok::window
