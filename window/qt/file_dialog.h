// The file dialog's inputs and result, between the program's request
// (window/window_layer.h FileDialogRequest) and a QFileDialog.
//
// Masks are description and pattern pairs separated by "|":
// "TXA Files|*.txa|All Files|*.*" becomes the filters
// "TXA Files (*.txa)" and "All Files (*)". Several patterns of one pair are
// separated by ";" ("*.txa;*.txt"); "*.*" means every file. Without masks
// the dialog offers "All Files (*)".
//
// Flags: 1 a save dialog (it asks before replacing a file unless 4 is set
// too), 8 several existing files may be chosen, 32 a folder is chosen; 16
// (the explorer-style dialog) is what every dialog here is.
//
// The dialog opens large enough to show a folder's Name, Size, Type and Date
// Modified side by side, each column as wide as what it shows once the
// folder has been read.
//
// The result is the chosen path; with several files, the folder followed by
// each file name, all separated by "|".
#pragma once
#include <QStringList>
#include <string>
#include <string_view>

#include "window/window_layer.h"

class QFileDialog;

namespace varnok::window::qt {

QStringList fileDialogFilters(std::string_view masks);
void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request);
std::string fileDialogResult(const QStringList& chosen);

}  // namespace varnok::window::qt
