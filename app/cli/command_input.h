// Loading the TXA file a command names, with the command line's checks and
// messages: a missing file, a folder, a hidden file, or one that cannot be
// opened or read is reported on standard error as one line naming the file.
//
// CommandPresenter installs, for the life of a command, a message presenter
// that shows nothing and answers questions with the answers queued on it.
#pragma once
#include <string>

#include "app/txa/extension_remover.h"
#include "window/console_presenter.h"

namespace varnok::app {

// The remover of the running command. It lives until the process ends and
// is never destroyed: a command runs once per process, and leaving its lists
// to the operating system saves freeing a million line entries one by one.
ExtensionRemover& commandRemover();

// Loads file into remover (FileNameTXA, LineQ, ExtensionQ). Returns true on
// success; on failure prints the reason and returns false.
bool loadForCommand(ExtensionRemover& remover, const std::string& file);

// Prints "varnok: <text>" on standard error.
void reportError(const std::string& text);

class CommandPresenter {
public:
    CommandPresenter();
    ~CommandPresenter();
    CommandPresenter(const CommandPresenter&) = delete;
    CommandPresenter& operator=(const CommandPresenter&) = delete;
    void queueAnswer(unsigned button) { console_.queueAnswer(button); }

private:
    window::ConsolePresenter console_;
    window::MessagePresenter* previous_;
};

}  // namespace varnok::app
