#include "window/qt/window_font.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>

namespace varnok::window::qt {

QFont windowFont(const std::string& family, int pointSize) {
    const QString name = QString::fromStdString(family);
    if (!name.isEmpty() && QFontDatabase::families().contains(name, Qt::CaseInsensitive)) {
        QFont font(name);
        if (pointSize > 0) font.setPointSize(pointSize);
        return font;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const int desktopSize = QGuiApplication::font().pointSize();
    font.setPointSize(std::max({pointSize, desktopSize, font.pointSize()}));
    return font;
}

DialogBase dialogBase(const QFont& font) {
    QFontMetrics metrics(font);
    const QString sample = QString::fromLatin1(kAverageWidthSample.data(),
                                               static_cast<qsizetype>(kAverageWidthSample.size()));
    DialogBase base;
    base.averageWidth = std::max(1, averageCharWidth(metrics.horizontalAdvance(sample)));
    base.height = std::max(1, metrics.height());
    return base;
}

}  // namespace varnok::window::qt
