// The font a window is drawn in, and the dialog base units it gives
// (window/dialog_units.h).
//
// A window asks for its structure's font ("MS Sans Serif", 8 points). When
// the desktop has that family it is used; otherwise the desktop's own
// sans-serif interface font takes its place, at the structure's size but
// never smaller than the desktop's default size, so the text stays readable.
// Every position and size of the window follows from the chosen font.
#pragma once
#include <QFont>
#include <string>

#include "window/dialog_units.h"

namespace varnok::window::qt {

QFont windowFont(const std::string& family, int pointSize);
DialogBase dialogBase(const QFont& font);

}  // namespace varnok::window::qt
