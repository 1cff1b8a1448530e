// Fontconfig keeps its configuration for the life of the process and never
// frees it; the leak checker is told so for the Qt tests.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
