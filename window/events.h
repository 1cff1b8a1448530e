// Window events: the numbers through which windows and controls report what
// happened, one at a time, to the window manager's event loop. Numbers below
// 0x200 are field events (they belong to one control); from 0x200 up they are
// window events. Inside the window layer an event travels as the message
// 0xA000 plus its number; the layer's internal requests use 0xB000 and up and
// never reach the program as events.
#pragma once
#include <cstdint>
#include <string>

namespace varnok::window {

namespace event {
inline constexpr uint16_t Accepted = 0x01;
inline constexpr uint16_t NewSelection = 0x02;
inline constexpr uint16_t ScrollUp = 0x03;
inline constexpr uint16_t ScrollDown = 0x04;
inline constexpr uint16_t PageUp = 0x05;
inline constexpr uint16_t PageDown = 0x06;
inline constexpr uint16_t ScrollTop = 0x07;
inline constexpr uint16_t ScrollBottom = 0x08;
inline constexpr uint16_t Locate = 0x09;
inline constexpr uint16_t MouseUp = 0x0A;
inline constexpr uint16_t MouseIn = 0x0B;
inline constexpr uint16_t MouseOut = 0x0C;
inline constexpr uint16_t MouseMove = 0x0D;
inline constexpr uint16_t VBXevent = 0x0E;
inline constexpr uint16_t AlertKey = 0x0F;
inline constexpr uint16_t PreAlert = 0x10;
inline constexpr uint16_t Dragging = 0x11;
inline constexpr uint16_t Drag = 0x12;
inline constexpr uint16_t Drop = 0x13;
inline constexpr uint16_t ScrollDrag = 0x14;
inline constexpr uint16_t TabChanging = 0x15;
inline constexpr uint16_t Expanding = 0x16;
inline constexpr uint16_t Contracting = 0x17;
inline constexpr uint16_t Expanded = 0x18;
inline constexpr uint16_t Contracted = 0x19;
inline constexpr uint16_t Rejected = 0x1A;
inline constexpr uint16_t DroppingDown = 0x1B;
inline constexpr uint16_t DroppedDown = 0x1C;
inline constexpr uint16_t ScrollTrack = 0x1D;
inline constexpr uint16_t ColumnResize = 0x1E;
inline constexpr uint16_t Selected = 0x101;
inline constexpr uint16_t Selecting = 0x102;

inline constexpr uint16_t CloseWindow = 0x201;
inline constexpr uint16_t CloseDown = 0x202;
inline constexpr uint16_t OpenWindow = 0x203;
inline constexpr uint16_t OpenFailed = 0x204;
inline constexpr uint16_t LoseFocus = 0x205;
inline constexpr uint16_t GainFocus = 0x206;
inline constexpr uint16_t Suspend = 0x208;
inline constexpr uint16_t Resume = 0x209;
inline constexpr uint16_t Notify = 0x20A;
inline constexpr uint16_t Timer = 0x20B;
inline constexpr uint16_t DDErequest = 0x20C;
inline constexpr uint16_t DDEadvise = 0x20D;
inline constexpr uint16_t DDEdata = 0x20E;
inline constexpr uint16_t DDEexecute = 0x20F;
inline constexpr uint16_t DDEpoke = 0x210;
inline constexpr uint16_t DDEclosed = 0x211;
inline constexpr uint16_t Move = 0x220;
inline constexpr uint16_t Size = 0x221;
inline constexpr uint16_t Restore = 0x222;
inline constexpr uint16_t Maximize = 0x223;
inline constexpr uint16_t Iconize = 0x224;
inline constexpr uint16_t Completed = 0x225;
inline constexpr uint16_t Moved = 0x230;
inline constexpr uint16_t Sized = 0x231;
inline constexpr uint16_t Restored = 0x232;
inline constexpr uint16_t Maximized = 0x233;
inline constexpr uint16_t Iconized = 0x234;
inline constexpr uint16_t Docked = 0x235;
inline constexpr uint16_t UnDocked = 0x236;
inline constexpr uint16_t BuildFile = 0x240;
inline constexpr uint16_t BuildKey = 0x241;
inline constexpr uint16_t BuildDone = 0x242;
}  // namespace event

inline constexpr uint32_t EventMessageBase = 0xA000;
inline constexpr uint32_t QueryMessageBase = 0xB000;  // QUERY_SHUTDOWN

constexpr bool isFieldEvent(uint16_t e) { return e < 0x200; }
constexpr uint32_t eventMessage(uint16_t e) { return EventMessageBase + e; }

// "EVENT:Accepted" for 0x01 and so on; nullptr for a number without a name
// (0x207 among them).
const char* eventName(uint16_t e);

// The name the message trace prints for a window message: the event's name
// for 0xA000 plus an event number, QUERY_ names for the layer's internal
// requests, WM_ names for standard window messages, else the number in
// hexadecimal ("0x1234").
std::string messageName(uint32_t message);

// Key codes of alerted keys and mouse actions, with modifier offsets.
namespace key {
inline constexpr uint32_t MouseLeft = 1;   // left button press
inline constexpr uint32_t MouseRight = 2;
inline constexpr uint32_t MouseLeft2 = 5;  // left double click
inline constexpr uint32_t Enter = 13;
inline constexpr uint32_t Space = 32;
inline constexpr uint32_t Shift = 0x100;
inline constexpr uint32_t Ctrl = 0x200;
inline constexpr uint32_t Alt = 0x400;
}  // namespace key

}  // namespace varnok::window
