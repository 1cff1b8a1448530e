// SectorEntry: the record of the INI manager's Sectors queue, three
// CSTRING(100) fields (at most 99 characters each), stored in the section
// "__Dont_Touch_Me__" as one entry per record, the fields joined by commas.
#pragma once
#include "runtime/records/record_layout.h"

namespace varnok::framework {

// Field numbers of SectorEntry.
inline constexpr int SectorFamily = 1;
inline constexpr int SectorItem = 2;
inline constexpr int SectorType = 3;
inline constexpr uint32_t SectorTextSize = 100;

// Family, Item, Type, each a CSTRING(100); the layout lives as long as the
// program.
const RecordLayout& sectorEntryLayout();

}  // namespace varnok::framework
