// What the main window's tests share: the folder they run in and a small TXA.
#pragma once
#include <string>

#include "tests/support/config_home.h"

namespace varnok::testing {

// The main window's tests live in a ConfigHome: the current directory holds
// ".\remtxa.ini" and the configuration home holds "varnok.INI".
using ProgramHome = ConfigHome;

// Lines: 1-2 procedure Main, 3-6 "Logger" (Tools), 7-9 "Caf\xE9" (Other),
// 10-12 "Logger" (Other), 13 another header.
inline const std::string kSmallTxa =
    "[PROCEDURE]\r\nNAME Main\r\n[ADDITION]\r\nNAME Tools Logger\r\n[PROMPTS]\r\n%A LONG (1)  \r\n"
    "[ADDITION]\r\nNAME Other Caf\xE9\r\n[INSTANCE]\r\n[ADDITION]\r\nNAME Other Logger\r\nx\r\n[END]\r\n";

}  // namespace varnok::testing
