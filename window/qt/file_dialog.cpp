#include "window/qt/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include "window/qt/program_text.h"

namespace varnok::window::qt {

namespace {

QString patternsOf(QString text) {
    QStringList patterns;
    for (QString p : text.split(';', Qt::SkipEmptyParts)) {
        p = p.trimmed();
        if (p.isEmpty()) continue;
        patterns << (p == "*.*" ? QStringLiteral("*") : p);
    }
    return patterns.isEmpty() ? QStringLiteral("*") : patterns.join(' ');
}

}  // namespace

QStringList fileDialogFilters(std::string_view masks) {
    const QStringList parts = fromProgram(masks).split('|');
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const bool hasPattern = i + 1 < parts.size();
        if (description.isEmpty() && !hasPattern) continue;  // nothing, or a trailing "|"
        const QString patterns = patternsOf(hasPattern ? parts[i + 1] : description);
        filters << (description.isEmpty() ? patterns : description + " (" + patterns + ")");
    }
    if (filters.isEmpty()) filters << QStringLiteral("All Files (*)");
    return filters;
}

void configureFileDialog(QFileDialog& dialog, const FileDialogRequest& request) {
    dialog.setWindowTitle(fromProgram(request.title));
    const unsigned flags = request.flags;
    if (flags & fileflag::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    } else {
        dialog.setNameFilters(fileDialogFilters(request.masks));
        if (flags & fileflag::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setOption(QFileDialog::DontConfirmOverwrite, (flags & fileflag::NoOverwritePrompt) != 0);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode((flags & fileflag::MultiSelect) ? QFileDialog::ExistingFiles
                                                               : QFileDialog::ExistingFile);
        }
    }
    const QString start = fromProgram(request.name).trimmed();
    if (!start.isEmpty()) {
        QFileInfo info(start);
        if (start.contains('/')) dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.fileName());
    }
}

std::string fileDialogResult(const QStringList& chosen) {
    if (chosen.isEmpty()) return std::string();
    if (chosen.size() == 1) return toProgram(QDir::toNativeSeparators(chosen.front()));
    QString folder = QFileInfo(chosen.front()).absolutePath();
    QStringList parts{QDir::toNativeSeparators(folder)};
    for (const QString& path : chosen) parts << QFileInfo(path).fileName();
    return toProgram(parts.join('|'));
}

}  // namespace varnok::window::qt
