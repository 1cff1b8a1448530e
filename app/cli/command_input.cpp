#include "app/cli/command_input.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/directory.h"
#include "platform/plain_file.h"

namespace varnok::app {

void reportError(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "varnok: %s\n", text.c_str());
}

CommandPresenter::CommandPresenter() : previous_(window::setMessagePresenter(&console_)) {
    console_.setEcho(false);
}

CommandPresenter::~CommandPresenter() { window::setMessagePresenter(previous_); }

ExtensionRemover& commandRemover() {
    static ExtensionRemover& remover = *new ExtensionRemover();  // reachable to the end, never freed
    return remover;
}

bool loadForCommand(ExtensionRemover& remover, const std::string& file) {
    std::string why;
    std::vector<platform::DirectoryEntry> listing;
    if (!platform::pathExists(file)) {
        why = platform::systemErrorText(ENOENT);
    } else if (platform::isDirectory(file)) {
        why = "it is a folder";
    } else if (platform::isHiddenName(file)) {
        why = "hidden files are not loaded";
    } else if (platform::listDirectory(file, listing) == 0) {
        why = "not an ordinary file";
    } else {
        remover.FileNameTXA = file;
        if (remover.Load()) return true;
        why = remover.queueTool.changedWhileRead() ? "the file changed while it was read; nothing was done"
              : remover.queueTool.lastError()      ? platform::systemErrorText(remover.queueTool.lastError())
                                                   : "the file could not be read";
    }
    reportError("cannot read '" + file + "': " + why);
    return false;
}

}  // namespace varnok::app
