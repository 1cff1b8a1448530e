// InstalledLayer: a window layer and a message presenter of one toolkit,
// installed as the process's current ones (window_layer.h, message_box.h)
// for the lifetime of this object; the previous ones are put back after.
//
//   window::InstalledLayer<window::qt::QtWindowLayer, window::qt::QtMessagePresenter> desktop;
#pragma once
#include "window/message_box.h"
#include "window/window_layer.h"

namespace varnok::window {

template <class Layer, class Presenter>
class InstalledLayer {
public:
    InstalledLayer() : previousLayer_(setWindowLayer(&layer_)), previousPresenter_(setMessagePresenter(&boxes_)) {}
    ~InstalledLayer() {
        setMessagePresenter(previousPresenter_);
        setWindowLayer(previousLayer_);
    }
    InstalledLayer(const InstalledLayer&) = delete;
    InstalledLayer& operator=(const InstalledLayer&) = delete;

private:
    Layer layer_;
    Presenter boxes_;
    WindowLayer* previousLayer_;
    MessagePresenter* previousPresenter_;
};

}  // namespace varnok::window
