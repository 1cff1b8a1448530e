// Translator: puts the texts of a window (title, prompts, captions, column
// headers) into the user's language; WindowManager::FirstDisplay calls it
// once per opened window, before the first refresh.
#pragma once

#include "window/window_layer.h"

namespace varnok::framework {

class Translator {
public:
    virtual ~Translator() = default;
    virtual void TranslateWindow(window::Window& window) = 0;
};

}  // namespace varnok::framework
