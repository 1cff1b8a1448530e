// varnok: removes extension instances from TXA files.
#include "app/cli/command_line.h"

int main(int argc, char** argv) { return varnok::app::runCommandLine(argc, argv); }
