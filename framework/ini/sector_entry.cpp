#include "framework/ini/sector_entry.h"

namespace varnok::framework {

const RecordLayout& sectorEntryLayout() {
    static const RecordLayout layout = RecordLayoutBuilder()
                                           .cstring("Family", SectorTextSize)
                                           .cstring("Item", SectorTextSize)
                                           .cstring("Type", SectorTextSize)
                                           .build();
    return layout;
}

}  // namespace varnok::framework
