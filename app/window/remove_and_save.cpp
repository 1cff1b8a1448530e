#include "app/window/remove_and_save.h"

#include "window/message_box.h"
#include "window/window_layer.h"

namespace varnok::app {

RemoveOutcome RemoveAndSave(ExtensionRemover& remover, std::string_view outputOverride, Progress* progress,
                            const std::function<void()>& beforeSaved) {
    using namespace window;
    if (message("Remove the selected extensions from the TXA", "Confirm", IconQuestion, ButtonYes | ButtonNo,
                ButtonNo) != ButtonYes)
        return RemoveOutcome::Cancelled;

    const Removal removal = remover.PlanRemoval(remover.outputFor(outputOverride));
    Overwrite overwrite = Overwrite::No;
    if (removal.asksToOverwrite() &&
        message("Overwrite " + removal.output + " ?", "File already exists", IconQuestion, ButtonYes | ButtonNo,
                ButtonNo) == ButtonYes)
        overwrite = Overwrite::Yes;

    windowLayer().setCursor(Cursor::Wait);
    const RemoveResult result = remover.RemoveAndSave(removal, overwrite, progress);
    if (progress) progress->ended();
    windowLayer().setCursor(Cursor::Normal);
    switch (result.status) {
    case RemoveStatus::NothingToDelete:
        message("Nothing to delete", "Not saved", IconExclamation, ButtonOk);
        return RemoveOutcome::NothingToDelete;
    case RemoveStatus::OutputIsInput:
        message("The loaded TXA file is never overwritten: " + removal.output, "Not saved", IconExclamation, ButtonOk);
        return RemoveOutcome::OutputIsLoadedFile;
    case RemoveStatus::OutputExists:
        return RemoveOutcome::OverwriteDeclined;
    case RemoveStatus::SaveFailed:
        reportSave(result.save, removal.output);
        return RemoveOutcome::SaveFailed;
    case RemoveStatus::Saved:
        break;
    }
    if (beforeSaved) beforeSaved();
    message(removal.output, "Saved", IconInformation, ButtonOk);
    return RemoveOutcome::Saved;
}

}  // namespace varnok::app
