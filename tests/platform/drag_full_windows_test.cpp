#include "platform/drag_full_windows.h"

#include <gtest/gtest.h>

namespace varnok::platform {
namespace {

class Remembered : public DragFullWindowsSetting {
public:
    bool get() override { return on; }
    bool set(bool value) override {
        on = value;
        ++changes;
        return true;
    }
    bool on = true;
    int changes = 0;
};

// An installed setting answers in the system's place until it is taken out.
TEST(DragFullWindows, AnInstalledSettingStandsInForTheSystems) {
    DragFullWindowsSetting* system = &systemDragFullWindowsSetting();
    EXPECT_EQ(&dragFullWindowsSetting(), system);
    Remembered remembered;
    EXPECT_EQ(setDragFullWindowsSetting(&remembered), system) << "the system's was current";
    EXPECT_TRUE(dragFullWindows());
    EXPECT_TRUE(setDragFullWindows(false));
    EXPECT_FALSE(remembered.on);
    EXPECT_EQ(remembered.changes, 1);
    EXPECT_EQ(setDragFullWindowsSetting(nullptr), &remembered);
    EXPECT_EQ(&dragFullWindowsSetting(), system);
    EXPECT_EQ(setDragFullWindowsSetting(nullptr), system);
}

#ifdef _WIN32
// The system's own setting changes and is put back as it was. (It is the
// user's real desktop setting: a failed run may leave it switched.)
TEST(DragFullWindows, TheSystemsSettingChangesBothWays) {
    DragFullWindowsSetting& system = systemDragFullWindowsSetting();
    const bool was = system.get();
    ASSERT_TRUE(system.set(!was));
    EXPECT_EQ(system.get(), !was);
    ASSERT_TRUE(system.set(was));
    EXPECT_EQ(system.get(), was);
}
#else
// Linux has no such setting: always off, never changed.
TEST(DragFullWindows, TheStandInIsOffAndStaysOff) {
    DragFullWindowsSetting& system = systemDragFullWindowsSetting();
    EXPECT_FALSE(system.get());
    EXPECT_FALSE(system.set(true));
    EXPECT_FALSE(system.get());
    EXPECT_FALSE(system.set(false));
}
#endif

}  // namespace
}  // namespace varnok::platform
