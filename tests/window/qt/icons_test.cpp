#include "window/qt/icons.h"

#include <gtest/gtest.h>

#include <QImage>

#include "tests/window/qt/qt_test_support.h"
#include "window/message_box.h"

namespace varnok::window::qt {
namespace {

TEST(StockIcons, CodesGiveTheirResourceNumbers) {
    EXPECT_EQ(stockIconNumber(IconQuestion), StockQuestion);
    EXPECT_EQ(stockIconNumber(IconExclamation), StockExclamation);
    EXPECT_EQ(stockIconNumber(IconInformation), StockAsterisk);
    EXPECT_EQ(stockIconNumber(IconHand), StockHand);
    EXPECT_EQ(stockIconNumber(stockIcon(32512)), StockApplication);
    EXPECT_EQ(stockIconNumber(""), -1);
    EXPECT_EQ(stockIconNumber("~boxon.ico"), -1);
    EXPECT_EQ(stockIconNumber(std::string("\xFF\x02\x03\x7F", 4)), -1);
}

TEST(NamedIcons, KnownNamesDrawAndUnknownOnesDoNot) {
    testing::application();
    for (const std::string& name : {std::string("~boxoff.ico"), std::string("~BOXON.ICO"), std::string("varnok.ico"),
                                    std::string("~varnok.ico"), IconQuestion, IconExclamation, IconInformation,
                                    IconHand}) {
        EXPECT_FALSE(namedIcon(name).isNull()) << name;
    }
    EXPECT_TRUE(namedIcon("~missing.ico").isNull());
    EXPECT_TRUE(namedIcon("").isNull());
    EXPECT_TRUE(namedIcon(stockIcon(40000)).isNull());
    // The program's icon comes from the resources at its full size.
    EXPECT_EQ(programIcon().availableSizes(), QList<QSize>{QSize(48, 48)});
}

// The empty box is white inside with a dark border; the ticked one has its
// tick across the middle.
TEST(CheckBoxes, EmptyAndTickedBoxesAtEverySize) {
    testing::application();
    for (int size : {13, 16, 24, 32}) {
        SCOPED_TRACE(size);
        const QImage off = checkBoxPixmap(false, size).toImage();
        const QImage on = checkBoxPixmap(true, size).toImage();
        ASSERT_EQ(off.size(), QSize(size, size));
        const QPoint middle(size / 2, size / 2);
        EXPECT_EQ(off.pixelColor(middle), QColor(Qt::white));
        // The tick's lowest point, a little left of the middle and below it.
        const double margin = size / 8.0, side = size - 2 * margin;
        const QPoint tick(static_cast<int>(margin + side * 0.42), static_cast<int>(margin + side * 0.72));
        EXPECT_LT(on.pixelColor(tick).lightness(), 160);
        EXPECT_EQ(off.pixelColor(tick), QColor(Qt::white));
        EXPECT_EQ(off.pixelColor(0, 0).alpha(), 0);  // transparent around the box
        const int edge = size / 8;
        EXPECT_LT(off.pixelColor(edge, size / 2).lightness(), 160);  // the border
    }
    EXPECT_EQ(checkBoxIcon(true).pixmap(16, 16).toImage(), checkBoxPixmap(true, 16).toImage());
}

}  // namespace
}  // namespace varnok::window::qt
