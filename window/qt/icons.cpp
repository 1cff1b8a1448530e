#include "window/qt/icons.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

// Resources of a static library are registered by hand (outside any
// namespace, as Qt requires).
static void registerVarnokResources() { Q_INIT_RESOURCE(varnok); }

namespace varnok::window::qt {

namespace {

void ensureResources() {
    static const bool registered = (registerVarnokResources(), true);
    (void)registered;
}

QString lowerName(std::string_view name) {
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())).toLower();
}

}  // namespace

int stockIconNumber(std::string_view code) {
    if (code.size() != 4 || static_cast<unsigned char>(code[0]) != 0xFF ||
        static_cast<unsigned char>(code[1]) != 0x01)
        return -1;
    const int number = static_cast<unsigned char>(code[2]) | (static_cast<unsigned char>(code[3]) << 8);
    return number - 1;
}

QPixmap checkBoxPixmap(bool ticked, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    // A square box a little inside the pixmap, with a one-pixel border.
    const qreal margin = size / 8.0;
    const qreal side = size - 2 * margin;
    QRectF box(margin + 0.5, margin + 0.5, side - 1, side - 1);
    painter.setPen(QPen(QColor(0x5a, 0x5a, 0x5a), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    if (ticked) {
        QPainterPath tick;
        tick.moveTo(box.left() + side * 0.20, box.top() + side * 0.52);
        tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.74);
        tick.lineTo(box.left() + side * 0.80, box.top() + side * 0.26);
        painter.setPen(QPen(QColor(0x1b, 0x1b, 0x1b), std::max(1.5, size / 8.0), Qt::SolidLine, Qt::RoundCap,
                            Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    return pixmap;
}

QIcon checkBoxIcon(bool ticked) {
    QIcon icon;
    for (int size : {13, 16, 20, 24, 32}) icon.addPixmap(checkBoxPixmap(ticked, size));
    return icon;
}

QIcon programIcon() {
    ensureResources();
    return QIcon(QStringLiteral(":/varnok/varnok-48.png"));
}

QIcon namedIcon(std::string_view name) {
    const int stock = stockIconNumber(name);
    if (stock >= 0) {
        QStyle* style = QApplication::style();
        switch (stock) {
        case StockApplication: return programIcon();
        case StockHand: return style->standardIcon(QStyle::SP_MessageBoxCritical);
        case StockQuestion: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
        case StockExclamation: return style->standardIcon(QStyle::SP_MessageBoxWarning);
        case StockAsterisk: return style->standardIcon(QStyle::SP_MessageBoxInformation);
        default: return QIcon();
        }
    }
    QString file = lowerName(name);
    if (file.startsWith('~')) file.remove(0, 1);
    if (file == "boxoff.ico") return checkBoxIcon(false);
    if (file == "boxon.ico") return checkBoxIcon(true);
    if (file == "varnok.ico") return programIcon();
    if (file.endsWith(".ico")) {
        ensureResources();
        const QString resource = ":/varnok/" + file.chopped(4) + ".png";
        if (QFile::exists(resource)) return QIcon(resource);
    }
    return QIcon();
}

}  // namespace varnok::window::qt
