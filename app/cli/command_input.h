// Loading the TXA file a command names, with the command line's messages: a
// missing file, a folder, a hidden file, or one that cannot be opened or
// read is reported on standard error as one line naming the file. Nothing
// here or in the commands shows a message box: the remover's results are
// turned into messages and exit statuses by the commands themselves.
#pragma once
#include <string>

#include "app/txa/extension_remover.h"

namespace varnok::app {

// The remover of the running command. It lives until the process ends and
// is never destroyed: a command runs once per process (on several files it
// loads them into this remover one after the other, each load replacing the
// last), and leaving its lists to the operating system saves freeing a
// million line entries one by one.
ExtensionRemover& commandRemover();

// Loads file into remover (FileNameTXA, LineQ, ExtensionQ). Returns true on
// success; on failure prints the reason and returns false.
bool loadForCommand(ExtensionRemover& remover, const std::string& file);

// Why a load failed, as the command line says it: "it is a folder", the
// system's text for the error, and so on.
std::string loadFailureText(const LoadResult& result);
// Why a save or export failed, as the command line says it.
std::string saveFailureText(const SaveResult& result);

// Prints "varnok: <text>" on standard error.
void reportError(const std::string& text);

}  // namespace varnok::app
