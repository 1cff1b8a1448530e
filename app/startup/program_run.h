// The program's start and end around the procedure Main, with whatever
// window layer and message presenter are installed:
//
//   1. the ErrorManager is initialised with the per-thread ErrorState (and
//      shows its history in the errors history window), the
//      IniManager with "varnok.INI" (an INI file: a bare name, so it lives
//      in the program's configuration folder);
//   2. the desktop's "show window contents while dragging" setting is
//      switched off when it is on (platform/drag_full_windows.h; on this
//      desktop it is always off, so nothing is touched);
//   3. Main runs until its window closes;
//   4. the setting is switched on again when step 2 switched it off;
//   5. the IniManager's end hook runs, then its Release.
//
// The locale tables are filled and the main window's structure registered
// before Main runs.
#pragma once
#include <cstdint>
#include <string_view>

namespace varnok::app {

inline constexpr std::string_view ProgramIniFile = "varnok.INI";

// Runs the program; answers Main's response (1 completed, 2 cancelled).
uint8_t runProgram(std::string_view startFile = {});

}  // namespace varnok::app
