#include "window/events.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace varnok::window {
namespace {

TEST(EventNames, EveryNamedEventHasOneUniqueName) {
    std::set<std::string> seen;
    int named = 0;
    for (uint32_t e = 0; e < 0x300; ++e) {
        const char* name = eventName(static_cast<uint16_t>(e));
        if (!name) continue;
        ++named;
        EXPECT_EQ(std::string(name).rfind("EVENT:", 0), 0u) << name;
        EXPECT_TRUE(seen.insert(name).second) << "duplicate " << name;
    }
    EXPECT_EQ(named, 64);  // 32 field events and 32 window events
}

TEST(EventNames, TableEndsAndGaps) {
    EXPECT_EQ(eventName(0), nullptr);
    EXPECT_STREQ(eventName(event::Accepted), "EVENT:Accepted");
    EXPECT_STREQ(eventName(0x1E), "EVENT:ColumnResize");
    EXPECT_EQ(eventName(0x1F), nullptr);
    EXPECT_STREQ(eventName(event::Selecting), "EVENT:Selecting");
    EXPECT_STREQ(eventName(event::CloseWindow), "EVENT:CloseWindow");
    EXPECT_STREQ(eventName(event::GainFocus), "EVENT:GainFocus");
    EXPECT_EQ(eventName(0x207), nullptr);
    EXPECT_STREQ(eventName(event::Suspend), "EVENT:Suspend");
    EXPECT_STREQ(eventName(event::BuildDone), "EVENT:BuildDone");
    EXPECT_EQ(eventName(0x243), nullptr);
}

TEST(EventNames, FieldAndWindowEventsSplitAt0x200) {
    EXPECT_TRUE(isFieldEvent(event::Selecting));
    EXPECT_FALSE(isFieldEvent(event::CloseWindow));
    EXPECT_EQ(eventMessage(event::Accepted), 0xA001u);
}

TEST(MessageNames, EventsQueriesAndWindowMessages) {
    EXPECT_EQ(messageName(0xA001), "EVENT:Accepted");
    EXPECT_EQ(messageName(0xA203), "EVENT:OpenWindow");
    EXPECT_EQ(messageName(0xA207), "0xA207");  // no name for this event
    EXPECT_EQ(messageName(0xB000), "QUERY_SHUTDOWN");
    EXPECT_EQ(messageName(0xB001), "QUERY_SETUSE");
    EXPECT_EQ(messageName(0xB018), "QUERY_SIZEMOVE");
    EXPECT_EQ(messageName(0xB019), "0xB019");
    EXPECT_EQ(messageName(0x0010), "WM_CLOSE");
    EXPECT_EQ(messageName(0x0111), "WM_COMMAND");
    EXPECT_EQ(messageName(0x0209), "0x0209");
}

}  // namespace
}  // namespace varnok::window
