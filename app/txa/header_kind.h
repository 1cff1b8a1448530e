// HeaderKind: what a line beginning with "[" does to the instance list.
// "[PROCEDURE]" and "[ADDITION]" (byte for byte, anything may follow) start
// a procedure or an instance; "[INSTANCE]", "[PROMPTS]" and "[FIELDPROMPT]"
// (any case, nothing but spaces after) continue an open instance; every
// other header ends it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace varnok::app {

enum class HeaderKind : uint8_t { Procedure, Addition, Continues, Closes };

// The kind of a line record (the line's text padded to `size` with spaces,
// as the line queue holds it) that begins with "[".
HeaderKind headerKindOf(const uint8_t* line, size_t size);

}  // namespace varnok::app
