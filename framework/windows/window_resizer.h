// WindowResizer: lays a window's controls out again when the window is
// resized, working only through the window's properties (dialog units).
//
// Init remembers the window's size and every control's rectangle as they
// are then; each layout after that starts from those originals and the
// total change of the window's size since Init, so laying out twice for one
// size gives the same result. Each control follows its strategy, a set of
// bits:
//
//     MoveX        x moves by the whole change in width
//     MoveY        y moves by the whole change in height
//     GrowWidth    width grows (or shrinks) by the whole change in width
//     GrowHeight   height grows (or shrinks) by the whole change in height
//     CentreX      x moves by half the change in width (rounded toward
//                  zero), so a control centred in the window stays centred
//     Keep (0)     the control keeps its place and size
//
// Controls without a strategy of their own follow the default strategy,
// Keep unless changed. The main window's list, for instance:
//
//     resizer.Init(window);
//     resizer.SetStrategy(window.control("?EXTENSIONQ"), GrowWidth | GrowHeight);
//     resizer.SetStrategy(window.control("?REMOVEBUTTON"), MoveX | MoveY);
//
// The window never becomes smaller than its minimum size: Init sets
// MinWidth and MinHeight to the structure's size (SetMinimumSize changes
// it), and a layout for a smaller window first sets the window back to the
// minimum. Sizes never go below 0.
//
// TakeEvent lays out on EVENT:Sized; Resize lays out for the window's size
// now (after the window's place was restored, for instance).
// SaveValues/RestoreValues keep the size the controls were laid out for in
// the store; Kill saves them and lets the window go.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "framework/errors/levels.h"
#include "framework/windows/resizer.h"
#include "framework/windows/resizer_store.h"
#include "window/window_layer.h"

namespace varnok::framework {

enum ResizeStrategy : unsigned {
    Keep = 0,
    MoveX = 1,
    MoveY = 2,
    GrowWidth = 4,
    GrowHeight = 8,
    CentreX = 16,
};

class WindowResizer : public Resizer {
public:
    explicit WindowResizer(ResizerStore* store = nullptr) : store_(store) {}

    // Remembers the window's and its controls' rectangles and sets the
    // minimum size to the structure's size.
    void Init(window::Window& window);
    void SetStrategy(int32_t control, unsigned strategy);
    void SetDefaultStrategy(unsigned strategy) { defaultStrategy_ = strategy; }
    void SetMinimumSize(int32_t width, int32_t height);

    // EVENT:Sized lays the controls out; answers LevelQuiet (every event
    // goes on).
    uint8_t TakeEvent(const window::Event& event);
    // Lays the controls out for the window's current size.
    void Resize();

    void SaveValues();
    // Gives the window the stored size when there is one and it is not
    // below the minimum, and lays out; false when nothing was stored.
    bool RestoreValues();

    // Saves the values and lets the window go; a second call does nothing.
    void Kill() override;

    int32_t minimumWidth() const { return minWidth_; }
    int32_t minimumHeight() const { return minHeight_; }

private:
    struct Rect {
        int32_t x = 0, y = 0, width = 0, height = 0;
    };
    Rect read(int32_t control) const;

    ResizerStore* store_;
    window::Window* window_ = nullptr;
    Rect original_;                 // the window's at Init
    std::vector<Rect> controls_;    // index control - 1, at Init
    std::map<int32_t, unsigned> strategies_;
    unsigned defaultStrategy_ = Keep;
    int32_t minWidth_ = 0, minHeight_ = 0;
};

}  // namespace varnok::framework
