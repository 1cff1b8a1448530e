// The widget of each control kind, and where it goes.
//
//   Group  QGroupBox (its caption from the text)   Prompt  QLabel
//   Entry  QLineEdit, as long as its picture       Button  QPushButton
//   List   QTableView over a ListModel             Region  an empty widget
//   Image  QLabel showing an icon                  Sheet   QTabWidget
//
// An image's text in its structure names the icon it shows (icons.h), as
// its Icon property does later.
// Controls are placed absolutely: the structure's rectangle in dialog
// units, converted with the window's base units; a width or height of
// NoValue takes the widget's natural size.
#pragma once
#include <QRect>

#include "window/dialog_units.h"
#include "window/window_structure.h"

class QTableView;
class QWidget;

namespace varnok::window::qt {

class ListModel;

QWidget* createControl(const ControlStructure& spec, QWidget* parent);
// A list: rows selected whole, one at a time, no grid (columns draw their
// own right lines), headers that do not sort, a fixed row height.
QTableView* createList(QWidget* parent, ListModel* model, const DialogBase& base);
QRect controlGeometry(const ControlStructure& spec, const QWidget& widget, const DialogBase& base);

}  // namespace varnok::window::qt
