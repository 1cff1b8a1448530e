#include "window/qt/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QFontMetrics>
#include <QHeaderView>
#include <QTreeView>
#include <algorithm>

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

// Large enough for a folder's details side by side: about 130 average
// characters by 30 lines of the dialog's font. Each time a folder has been
// read, the Size, Type and Date Modified columns take the width of what
// they show and the Name column what is left, up to its names' width.
void fitFileDialog(QFileDialog& dialog) {
    const QFontMetrics metrics(dialog.font());
    dialog.resize(dialog.size().expandedTo(QSize(metrics.averageCharWidth() * 130, metrics.height() * 30)));
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    auto* files = dialog.findChild<QFileSystemModel*>();
    if (!view || !files) return;
    QObject::connect(files, &QFileSystemModel::directoryLoaded, view, [view] {
        QHeaderView* header = view->header();
        if (header->count() < 4) return;
        int others = 0;
        for (int column = 1; column < 4; ++column) {
            view->resizeColumnToContents(column);
            others += header->sectionSize(column);
        }
        const int room = view->viewport()->width() - others;
        const int before = header->sectionSize(0);
        view->resizeColumnToContents(0);
        const int names = header->sectionSize(0);
        header->resizeSection(0, std::max(before, std::min(names, room)));
    });
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
    fitFileDialog(dialog);
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
