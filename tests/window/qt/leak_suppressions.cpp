// Fontconfig keeps its configuration for the life of the process and never
// frees it, nor does the D-Bus library a desktop session (openbox) brings
// in; the leak checker is told so for the Qt tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }
