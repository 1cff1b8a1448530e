#include "app/txa/extension_remover.h"

#include "app/txa/extension_selection.h"
#include "app/txa/output_name.h"
#include "app/txa/txa_records.h"
#include "platform/plain_file.h"
#include "platform/trailing_spaces.h"
#include "runtime/errors/error_codes.h"
#include "window/message_box.h"

namespace varnok::app {

ExtensionRemover::ExtensionRemover() : LineQ(lineLayout()), ExtensionQ(extensionLayout()) {}

uint8_t ExtensionRemover::Load() {
    uint8_t result = queueTool.LoadText(LineQ, FileNameTXA);
    ScanTxa();
    return result;
}

int32_t ExtensionRemover::ToggleSelection(int32_t choice) { return toggleRow(ExtensionQ, choice); }

bool ExtensionRemover::SelectAll(int32_t choice) { return selectAllLike(ExtensionQ, choice); }

RemoveOutcome ExtensionRemover::RemoveAndSave(std::string_view outputOverride) {
    using namespace window;
    if (message("Remove the selected extensions from the TXA", "Confirm", IconQuestion, ButtonYes | ButtonNo,
                ButtonNo) != ButtonYes)
        return RemoveOutcome::Cancelled;

    // Last instance first: every deletion lies after the instances still to
    // be handled, so their line numbers stay valid.
    DeletedCount = 0;
    ExtensionRecord rec;
    for (int32_t i = static_cast<int32_t>(RECORDS(ExtensionQ)); i >= 1; --i) {
        GET(ExtensionQ, i);
        if (errorCode() != NoError) continue;
        rec.read(ExtensionQ.buffer());
        if (rec.removeThis != 1) continue;
        LinesInInstance = rec.toLineNo - rec.fromLineNo + 1;
        if (LinesInInstance > 0)
            DeletedCount += static_cast<int32_t>(queueTool.deleteLines(LineQ, rec.fromLineNo, LinesInInstance));
    }
    if (DeletedCount == 0) {
        message("Nothing to delete", "Not saved", IconExclamation, ButtonOk);
        return RemoveOutcome::NothingToDelete;
    }

    NewFileName = outputOverride.empty() ? outputName(FileNameTXA) : std::string(platform::withoutTrailingSpaces(outputOverride));
    platform::FileIdentity target = platform::fileIdentity(NewFileName);
    if (target == queueTool.loadedFile() || target == platform::fileIdentity(std::string(platform::withoutTrailingSpaces(FileNameTXA)))) {
        message("The loaded TXA file is never overwritten: " + NewFileName, "Not saved", IconExclamation, ButtonOk);
        ScanTxa();
        return RemoveOutcome::OutputIsLoadedFile;
    }
    if (platform::pathExists(NewFileName) &&
        message("Overwrite " + NewFileName + " ?", "File already exists", IconQuestion, ButtonYes | ButtonNo,
                ButtonNo) != ButtonYes) {
        ScanTxa();
        return RemoveOutcome::OverwriteDeclined;
    }
    if (!queueTool.SaveText(LineQ, NewFileName)) {
        ScanTxa();
        return RemoveOutcome::SaveFailed;
    }
    message(NewFileName, "Saved", IconInformation, ButtonOk);
    ScanTxa();
    return RemoveOutcome::Saved;
}

}  // namespace varnok::app
