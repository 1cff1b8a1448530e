#include "window/qt/window_font.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include "tests/window/qt/qt_test_support.h"

namespace varnok::window::qt {
namespace {

TEST(WindowFont, MissingFamilyFallsBackToTheDesktopsReadableFont) {
    testing::application();
    ASSERT_FALSE(QFontDatabase::families().contains("MS Sans Serif"));
    const QFont font = windowFont("MS Sans Serif", 8);
    EXPECT_NE(QFontInfo(font).family(), "MS Sans Serif");
    EXPECT_GE(font.pointSize(), QGuiApplication::font().pointSize());  // never smaller than the desktop's
    EXPECT_GE(windowFont("MS Sans Serif", 14).pointSize(), 14);        // larger asks are kept
}

TEST(WindowFont, InstalledFamilyIsUsedAtItsSize) {
    testing::application();
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString family = families.contains("DejaVu Sans") ? QString("DejaVu Sans") : families.front();
    const QFont font = windowFont(family.toStdString(), 12);
    EXPECT_EQ(QFontInfo(font).family(), family);
    EXPECT_EQ(font.pointSize(), 12);
}

TEST(WindowFont, BaseUnitsFromTheFontsMetrics) {
    testing::application();
    for (int size : {8, 9, 12, 16}) {
        const QFont font = windowFont("DejaVu Sans", size);
        const QFontMetrics metrics(font);
        const DialogBase base = dialogBase(font);
        const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        EXPECT_EQ(base.averageWidth, (letters / 26 + 1) / 2) << size;
        EXPECT_EQ(base.height, metrics.height()) << size;
        // A bigger font gives bigger units.
        const DialogBase bigger = dialogBase(windowFont("DejaVu Sans", size + 6));
        EXPECT_GT(bigger.averageWidth, base.averageWidth);
        EXPECT_GT(bigger.height, base.height);
    }
}

}  // namespace
}  // namespace varnok::window::qt
