#include "window/qt/program_text.h"

#include <QStringDecoder>

#include "platform/cp1252.h"

namespace varnok::window::qt {

QString fromWindows1252(std::string_view text) {
    bool ascii = true;
    for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
    return QString::fromStdString(platform::cp1252ToUtf8(text));
}

QString fromProgram(std::string_view text) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return utf8.hasError() ? fromWindows1252(text) : decoded;
}

std::string toProgram(const QString& text) { return text.toStdString(); }

}  // namespace varnok::window::qt
