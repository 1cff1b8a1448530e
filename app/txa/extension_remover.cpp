#include "app/txa/extension_remover.h"

#include <cerrno>

#include "app/txa/extension_selection.h"
#include "app/txa/output_name.h"
#include "app/txa/txa_records.h"
#include "platform/plain_file.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"

namespace varnok::app {

ExtensionRemover::ExtensionRemover() : LineQ(lineLayout()), ExtensionQ(extensionLayout()) { lines().attach(LineQ); }

LoadResult ExtensionRemover::Load(std::string_view fileName, Progress* progress) {
    const LoadResult result = lines().load(fileName, queueTool.maxChunk(), progress);
    if (result.replacedLines()) FileNameTXA = std::string(fileName);
    if (result.status != LoadStatus::NotAFile) ScanTxa();
    return result;
}

int32_t ExtensionRemover::ToggleSelection(int32_t choice) { return toggleRow(ExtensionQ, choice); }

bool ExtensionRemover::SelectAll(int32_t choice) { return selectAllLike(ExtensionQ, choice); }

uint32_t ExtensionRemover::tickedCount() { return app::tickedCount(ExtensionQ); }

std::string ExtensionRemover::outputFor(std::string_view outputOverride) const {
    return outputOverride.empty() ? outputName(FileNameTXA) : std::string(platform::withoutTrailingSpaces(outputOverride));
}

bool ExtensionRemover::outputIsInput(const std::string& output) {
    const platform::FileIdentity target = platform::fileIdentity(output);
    return target == lines().file() ||
           target == platform::fileIdentity(std::string(platform::withoutTrailingSpaces(FileNameTXA)));
}

Removal ExtensionRemover::PlanRemoval(const std::string& output) {
    Removal removal{LineRanges(lineCount()), output};
    // Last instance first: every deletion lies after the instances still to
    // be handled, so their line numbers stay valid.
    ExtensionRecord rec;
    for (int32_t i = static_cast<int32_t>(RECORDS(ExtensionQ)); i >= 1; --i) {
        GET(ExtensionQ, i);
        if (errorCode() != NoError) continue;
        rec.read(ExtensionQ.buffer());
        if (rec.removeThis != 1) continue;
        LinesInInstance = rec.toLineNo - rec.fromLineNo + 1;
        if (LinesInInstance > 0) removal.gone.deleteAt(rec.fromLineNo, LinesInInstance);
    }
    if (removal.lines() > 0) {
        removal.outputIsInput = outputIsInput(output);
        removal.outputExists = platform::pathExists(output);
        removal.outputReadOnly = removal.outputExists && platform::isReadOnlyFile(output);
    }
    return removal;
}

RemoveResult ExtensionRemover::RemoveAndSave(const Removal& removal, Overwrite overwrite, Progress* progress) {
    DeletedCount = removal.lines();
    if (DeletedCount == 0) return {RemoveStatus::NothingToDelete, 0, {}};
    NewFileName = removal.output;
    RemoveResult result{RemoveStatus::Saved, DeletedCount, {}};
    if (outputIsInput(NewFileName)) {
        result.status = RemoveStatus::OutputIsInput;
    } else if (platform::isReadOnlyFile(NewFileName)) {
        result.status = RemoveStatus::SaveFailed;
        result.save = {SaveStatus::ReadOnly, EACCES};
    } else if (overwrite == Overwrite::No && platform::pathExists(NewFileName)) {
        result.status = RemoveStatus::OutputExists;
    } else {
        // The copy is written from the lines as they are, past the ticked
        // ranges; the lines lose those ranges only once it is in place.
        result.save = lines().save(NewFileName, removal.gone.ranges(), progress);
        if (!result.save.saved()) result.status = RemoveStatus::SaveFailed;
    }
    if (result.status != RemoveStatus::Saved) return result;  // nothing changed, ticks included
    lines().erase(removal.gone);
    ScanTxa();
    return result;
}

}  // namespace varnok::app
