#include "app/cli/command_input.h"

#include <cerrno>
#include <cstdio>

#include "platform/plain_file.h"

namespace varnok::app {

void reportError(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "varnok: %s\n", text.c_str());
}

ExtensionRemover& commandRemover() {
    static ExtensionRemover& remover = *new ExtensionRemover();  // reachable to the end, never freed
    return remover;
}

std::string loadFailureText(const LoadResult& result) {
    switch (result.status) {
    case LoadStatus::NotAFile:
        switch (result.kind) {
        case FileKind::Missing: return platform::systemErrorText(ENOENT);
        case FileKind::Folder: return "it is a folder";
        case FileKind::Hidden: return "hidden files are not loaded";
        case FileKind::Ordinary:
        case FileKind::NotOrdinary: break;
        }
        return "not an ordinary file";
    case LoadStatus::Changed: return "the file changed while it was read; nothing was done";
    case LoadStatus::Loaded:
    case LoadStatus::OpenFailed:
    case LoadStatus::ReadFailed:
    case LoadStatus::NoMemory: break;
    }
    return result.error ? platform::systemErrorText(result.error) : "the file could not be read";
}

std::string saveFailureText(const SaveResult& result) {
    if (result.status == SaveStatus::LinesOutOfStep) return "the loaded lines lost the rest of their long lines";
    if (result.status == SaveStatus::ReadOnly) return "it is read-only";
    return result.error ? platform::systemErrorText(result.error) : "write failed";
}

bool loadForCommand(ExtensionRemover& remover, const std::string& file) {
    // The name as typed: a trailing space, which a load would drop, is part
    // of a file's name on the command line.
    const FileCheck typed = checkOrdinaryFile(file);
    const LoadResult loaded = typed.ordinary() ? remover.Load(file) : LoadResult{LoadStatus::NotAFile, 0, typed.kind};
    if (loaded.status == LoadStatus::Loaded) return true;
    reportError("cannot read '" + file + "': " + loadFailureText(loaded));
    return false;
}

}  // namespace varnok::app
