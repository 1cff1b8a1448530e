// The seam between the error manager and the errors history window. The
// window's module installs a shower; ErrorManager::ShowHistoryWindow calls it
// with the manager, the caption, the icon number (0: the exclamation mark),
// the button bits and the default button, and returns the button it answers.
// Until one is installed the manager shows the newest history text in a
// plain message box instead (see ErrorManager::ShowHistoryWindow).
#pragma once
#include <cstdint>
#include <string>

namespace varnok::framework {

class ErrorManager;

using HistoryWindowShower = unsigned (*)(ErrorManager& manager, const std::string& caption, int32_t icon,
                                         unsigned buttons, unsigned defaultButton);

// Installs a shower (nullptr removes it) and returns the previous one.
HistoryWindowShower setHistoryWindowShower(HistoryWindowShower shower);
HistoryWindowShower historyWindowShower();

}  // namespace varnok::framework
