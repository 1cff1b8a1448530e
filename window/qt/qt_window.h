// QtWindow: one open window of the Qt layer, built from its window
// structure as a top-level QWidget whose controls sit at the places the
// structure gives in dialog units, converted with the window's own font
// (window_font.h). Below the controls an optional status bar shows the
// structure's zones.
//
// Events. Everything the user does reaches the program through this
// window's own FIFO queue of events; nextEvent runs a nested QEventLoop until
// the queue holds one, or until the window is closed (then it returns
// false). Qt's signals and input become events in one place
// (qt_window_events.cpp):
//   button clicked                -> EVENT:Accepted on the button
//   entry left after a change, or Enter in it (or unchanged with Touched set)
//                                 -> the bound TextVariable is written, then EVENT:Accepted
//   the list's highlighted row moved by the user -> EVENT:NewSelection
//   a mouse press below the rows  -> no row highlighted (no event)
//   alerted keys (alert()): right button press 2, left double click 5,
//   Enter 13, plus 0x100 Shift, 0x200 Ctrl, 0x400 Alt -> EVENT:AlertKey
//   Enter not alerted             -> presses the default button, if any
//   Esc                           -> presses the cancel button, if any
//   Home, End on a list           -> its first, last row (a NewSelection)
//   a control gets the focus      -> EVENT:Selected
//   local files dropped on a control or window that accepts drops
//   (acceptDrops; a control that does not passes them to the window)
//                                 -> EVENT:Drop with their names
//   the close box                 -> EVENT:CloseWindow; the window stays open
//                                    until defaultAction or close()
//   resized (after the controls are laid out) -> EVENT:Sized; moved -> EVENT:Moved
//   maximized, minimized, restored -> EVENT:Maximized, Iconized, Restored
//   activated, deactivated        -> EVENT:GainFocus, LoseFocus
//   opened                        -> EVENT:OpenWindow, before all of these
// Changes the program makes itself (select(), Selected) post no
// NewSelection.
//
// Showing: the window appears when its accept loop first asks for an
// event, so what the program sets up before (its place restored, its size)
// is where and how it is first shown. A window opened over another that
// was given no place is shown centred over it. A window manager frames a window where
// it is mapped; Xpos and Ypos are the frame's top-left corner, read and
// written alike.
//
// Nesting: a window opened while another is open is modal: the windows
// below refuse input until it closes, and only the top window's loop runs
// (its events queue up meanwhile in their own windows).
//
// Lists read their rows from their ListSource on demand (list_model.h) and
// follow its change stamp after every event any window's loop delivers.
#pragma once
#include <QFont>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <string>
#include <vector>

#include "window/dialog_units.h"
#include "window/event_queue.h"
#include "window/window_layer.h"

class QEventLoop;
class QLabel;
class QProgressBar;
class QStatusBar;
class QTableView;
class QWidget;

namespace varnok::window::qt {

class ListModel;
class QtWindowLayer;

class QtWindow : public QObject, public Window {
public:
    // Builds and shows the window. `below` is the window it opens over (its
    // owner, or the layer's top window), nullptr for none.
    QtWindow(QtWindowLayer& layer, WindowStructure structure, QtWindow* below);
    ~QtWindow() override;

    const WindowStructure& structure() const override { return structure_; }
    bool nextEvent(Event& event) override;
    void defaultAction(const Event& event) override;
    void post(uint16_t event, int32_t control = 0) override;
    void close() override;
    bool isOpen() const override { return open_; }

    std::string property(int32_t control, int prop, int32_t index = 0) const override;
    void setProperty(int32_t control, int prop, std::string_view value, int32_t index = 0) override;
    using Window::setProperty;

    void bindText(int32_t control, TextVariable variable) override;
    void bindList(int32_t control, ListSource* source) override;
    void display(int32_t control = 0) override;
    void update(int32_t control = 0) override;
    void paintPending() override;
    void select(int32_t control, int32_t row = 0) override;
    int32_t focus() const override;
    int32_t choice(int32_t control) const override;
    void alert(int32_t control, uint32_t keyCode) override;
    void acceptDrops(int32_t control) override;
    void acceptAll() override;
    bool acceptingAll() const override { return queue_.acceptingAll(); }
    void beep() override;

    // The widgets, for the layer and for tests.
    QWidget* widget() const { return frame_; }
    QWidget* client() const { return client_; }
    QWidget* controlWidget(int32_t control) const;
    QTableView* listView(int32_t control) const;
    QStatusBar* statusBar() const { return status_; }
    const QFont& font() const { return font_; }
    const DialogBase& base() const { return base_; }
    size_t queuedEvents() const { return queue_.size(); }
    // The accept loop waits for this window's input (and not the program's
    // handler running, which may paint meanwhile: paintPending).
    bool waitingForInput() const { return loop_ != nullptr; }

    // Shows the window the first time it is asked for (nextEvent does).
    void showOnce();
    // Where a popup menu opened now goes (global pixels): at the mouse, or
    // below the control that has the focus when the last input came from
    // the keyboard (a button pressed with Space or Enter).
    QPoint popupPlace() const;
    // Redraws the lists whose source changed (called after every event).
    void followLists();
    // Input reaches this window only while it is the top open window.
    bool refusesInput() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        ControlStructure spec;
        QWidget* widget = nullptr;
        // Entries.
        TextVariable variable;
        std::string shown;  // the variable's value the entry last showed
        bool touched = false;
        std::string picture;
        // Images.
        std::string icon;
        // Lists.
        QTableView* list = nullptr;
        ListModel* model = nullptr;
        int32_t mouseDownColumn = 0;
        int32_t mouseDownRow = 0;
        std::vector<uint32_t> alerts;
        bool acceptsDrops = false;
        std::vector<int> columnPixels;  // each column's width from its units
    };

    // Construction and layout (qt_window.cpp).
    void buildControls();
    void layoutFrame();
    void applyListColumns(Control& c);
    // The columns' widths in the view and the horizontal scroll bar, for
    // the list's width now (after its columns changed or it was resized).
    void fitColumns(Control& c);
    int32_t statusHeight() const;
    Control* find(int32_t control);
    const Control* find(int32_t control) const;
    int32_t controlOf(const QObject* object) const;
    void setListRow(Control& c, int32_t row);  // no NewSelection
    int32_t highlightedRow(const Control& c) const;  // 0 none
    // Rereads a list's rows (onlyWhenChanged: only when its source changed);
    // when their count changed, the selection moves to the nearest row left.
    void refreshList(Control& c, bool onlyWhenChanged);
    void writeVariable(Control& c);
    void showVariable(Control& c);
    int32_t listItems(const Control& c) const;
    void setListItems(Control& c, int32_t items);

    // Events (qt_window_events.cpp).
    void connectControl(int32_t number);
    void push(Event event);
    bool frameEvent(QEvent* event);
    bool controlEvent(int32_t control, QObject* watched, QEvent* event);
    void acceptEntry(int32_t control);
    bool pressDefaultButton();
    bool pressCancelButton();
    bool alerted(int32_t control, uint32_t keyCode) const;
    // Drag and drop of files over a control (0: the window); false when
    // neither it nor the window accepts drops, or nothing dropped is a
    // local file (the widget's own handling, a text dropped in an entry,
    // stays).
    bool dragEvent(int32_t control, QEvent* event);

    // Properties (qt_window_properties.cpp).
    std::string windowProperty(int prop, int32_t index) const;
    void setWindowProperty(int prop, std::string_view value, int32_t index);
    std::string listProperty(const Control& c, int prop, int32_t index) const;
    bool setListProperty(Control& c, int prop, std::string_view value, int32_t index);

    QtWindowLayer& layer_;
    WindowStructure structure_;
    QFont font_;
    DialogBase base_;
    QWidget* frame_ = nullptr;   // the top-level widget
    QWidget* client_ = nullptr;  // the controls' parent
    QStatusBar* status_ = nullptr;
    std::vector<QLabel*> zones_;
    std::vector<QProgressBar*> zoneBars_;  // one per zone, shown in its place by StatusProgress
    std::vector<Control> controls_;
    std::vector<uint32_t> windowAlerts_;
    bool windowDrops_ = false;  // files may be dropped anywhere on the window
    std::string icon_;
    int32_t minWidth_ = 0, minHeight_ = 0;  // dialog units

    EventQueue queue_;
    QEventLoop* loop_ = nullptr;  // while nextEvent waits
    bool open_ = false;
    bool showPending_ = true;     // not shown yet: nextEvent shows it
    bool placed_ = false;         // its structure or the program gave it a place
    QtWindow* below_ = nullptr;   // the window it opened over
    bool closing_ = false;        // our own close: the close event passes
    bool programmatic_ = false;   // changes made by the program, not the user
    bool active_ = false;
    bool keyboardInput_ = false;  // the last input was a key, not the mouse
    QSize lastSize_;
    QPoint lastPos_;
};

}  // namespace varnok::window::qt
