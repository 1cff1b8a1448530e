// Standard output and standard error of a program without a console of its
// own. The Windows program varnok.exe is built for the GUI subsystem, so
// that a double click or a file association opens its window without a
// console window beside it; started with a command from cmd or PowerShell
// it would then print nowhere. attachParentConsole connects the two
// streams to the console of the process that started it.
//
// Streams that already lead somewhere (redirected to a file or pipe, or a
// console of the program's own, as varnok-cli.exe and every Linux program
// have) are left as they are. Started without any console (from Explorer),
// nothing changes and what is written is lost.
//
// The console's shell does not wait for a GUI-subsystem program: its prompt
// comes back at once and the output appears after it, and the exit status
// is not seen. Scripts use varnok-cli.exe instead.
#pragma once

namespace varnok::platform {

// Connects standard output and standard error to the parent's console when
// they lead nowhere (see above). Nothing to do on Linux. Call once, before
// prepareConsoleOutput (process_arguments.h) and before writing anything.
void attachParentConsole();

}  // namespace varnok::platform
