// The picture compiler: which texts compile, to what width and layout, and
// how the entry-field dialect differs from the general one.
#include "runtime/pictures/picture.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/locale/locale.h"
#include "runtime/pictures/regional_pictures.h"

namespace varnok {
namespace {

class PictureCompiler : public ::testing::Test {
protected:
    void SetUp() override {
        resetLocaleToDefaults();
        replaceRegionalPicturesForTesting(RegionalSettings{});
    }
};

int countRole(const CompiledPicture& p, ElementRole role, int begin = 0, int end = -1) {
    if (end < 0) end = p.count;
    int n = 0;
    for (int i = begin; i < end; ++i) n += p.elements[i].role == role;
    return n;
}

// The invariants every valid picture keeps.
void expectConsistent(const CompiledPicture& p, const std::string& text) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(p.valid());
    ASSERT_GE(p.width, 1);
    if (p.kind != PicString) {
        ASSERT_EQ(p.count, p.width);
    }
    if (p.kind == PicNumber || p.kind == PicScientific) {
        ASSERT_LE(p.integerBegin, p.integerEnd);
        ASSERT_EQ(p.integerEnd - p.integerBegin, p.integerPositions);
        ASSERT_EQ(p.integerPositions, p.digits + p.groupingPositions);
        ASSERT_EQ(countRole(p, ElementRole::Grouping), p.groupingPositions);
        const int integerDigits = countRole(p, ElementRole::Digit, p.integerBegin, p.integerEnd) +
                                  countRole(p, ElementRole::DigitOrFill, p.integerBegin, p.integerEnd);
        ASSERT_EQ(integerDigits, p.digits);
        ASSERT_LE(p.storageDigits, 31);
    }
}

struct Shape {
    const char* text;
    PictureKind kind;  // PicInvalid: must not compile
    int width;
};

TEST_F(PictureCompiler, KindsWidthsAndFailures) {
    const Shape cases[] = {
        {"@s20", PicString, 20},
        {"S20", PicString, 20},
        {"@S1", PicString, 1},
        {"@s255", PicString, 255},
        {"@s0", PicInvalid, 0},
        {"@s256", PicInvalid, 0},
        {"@s", PicInvalid, 0},
        {"@s20x", PicInvalid, 0},
        {"@s20 B", PicString, 20},
        {"@s20b  ", PicString, 20},
        {"@s20 BB", PicInvalid, 0},
        {"@x5", PicInvalid, 0},
        {"", PicInvalid, 0},
        {"@", PicInvalid, 0},
        {"@n-15.2", PicNumber, 15},
        {"n9", PicNumber, 9},
        {"@N$09.2", PicNumber, 9},
        {"@n~EUR ~12.2", PicNumber, 12},
        {"@n12.2~ EUR~", PicNumber, 12},
        {"@n(10.2)", PicNumber, 10},
        {"@n(10.2", PicInvalid, 0},
        {"@n10.2)", PicInvalid, 0},
        {"@n-10.2-", PicInvalid, 0},
        {"@n--10.2", PicInvalid, 0},
        {"@n$10.2$", PicInvalid, 0},
        {"@n~a~10.2~b~", PicInvalid, 0},
        {"@n~abc", PicInvalid, 0},
        {"@n", PicInvalid, 0},
        {"@n-", PicInvalid, 0},
        {"@n0", PicInvalid, 0},
        {"@n256", PicInvalid, 0},
        {"@n3.2", PicNumber, 3},
        {"@n3.3", PicInvalid, 0},
        {"@n$-4.2", PicInvalid, 0},
        {"@n-1", PicInvalid, 0},
        {"@n7v2", PicNumber, 7},
        {"@n2v2", PicInvalid, 0},
        {"@e12.1", PicScientific, 12},
        {"@e8", PicScientific, 8},
        {"@e7", PicInvalid, 0},
        {"@e7.0", PicInvalid, 0},
        {"@e8.0", PicScientific, 8},
        {"@e6", PicInvalid, 0},
        {"@e12.0", PicScientific, 12},
        {"@e12.5", PicInvalid, 0},
        {"@e13.4", PicScientific, 13},
        {"@d1", PicDate, 8},
        {"@d06", PicDate, 10},
        {"@d4", PicDate, 18},
        {"@d18", PicDate, 18},
        {"@d19", PicInvalid, 0},
        {"@d0", PicInvalid, 0},
        {"@d", PicInvalid, 0},
        {"@d2<", PicDate, 10},
        {"@d2<50-", PicDate, 10},
        {"@d2>10", PicDate, 10},
        {"@d2<0", PicInvalid, 0},
        {"@d2<100", PicInvalid, 0},
        {"@d2-<50", PicInvalid, 0},
        {"@t1", PicTime, 5},
        {"@t3", PicTime, 7},
        {"@t6", PicTime, 10},
        {"@t7", PicTime, 8},
        {"@t8", PicTime, 11},
        {"@t9", PicInvalid, 0},
        {"@t04.", PicTime, 8},
        {"@p###-####p", PicPattern, 8},
        {"@P(###)###-####P", PicPattern, 13},
        {"@p<<#pB", PicPattern, 3},
        {"@p---p", PicInvalid, 0},
        {"@p###", PicInvalid, 0},
        {"@k###-##-####k", PicKeyIn, 11},
        {"@k\\k#k", PicKeyIn, 2},
        {"@kk", PicInvalid, 0},
        {"@k##\\", PicInvalid, 0},
    };
    for (const Shape& c : cases) {
        const CompiledPicture p = compilePicture(c.text);
        EXPECT_EQ(p.kind, c.kind) << c.text;
        if (c.kind == PicInvalid) continue;
        EXPECT_EQ(p.width, c.width) << c.text;
        expectConsistent(p, c.text);
    }
}

TEST_F(PictureCompiler, NumberPositionsGroupingAndDecimals) {
    struct Case {
        const char* text;
        int integerPositions, digits, groups, decimals;
        char grouping, decimalChar;
    };
    const Case cases[] = {
        {"@n-15.2", 11, 9, 2, 2, ',', '.'},
        {"@n-15", 14, 11, 3, 0, ',', 0},
        {"@n-15.", 14, 11, 3, 0, '.', 0},
        {"@n-15_", 14, 11, 3, 0, ' ', 0},
        {"@n15`2", 12, 10, 2, 2, '.', ','},
        {"@n15.`2", 12, 10, 2, 2, '.', ','},
        {"@n15__2", 12, 10, 2, 2, ' ', ' '},
        {"@n015.2", 12, 12, 0, 2, 0, '.'},
        {"@n*15.2", 12, 12, 0, 2, 0, '.'},
        {"@n_15.2", 12, 12, 0, 2, 0, '.'},
        {"@n015`.2", 12, 10, 2, 2, ',', '.'},
        {"@n9v2", 7, 6, 1, 2, ',', 0},
        {"@n$9.2", 5, 4, 1, 2, ',', '.'},
        {"@n~EUR~9.2", 3, 3, 0, 2, ',', '.'},
        {"@n(10.2)", 5, 4, 1, 2, ',', '.'},
        {"@n4", 4, 4, 0, 0, ',', 0},
        {"@n5", 5, 4, 1, 0, ',', 0},
    };
    for (const Case& c : cases) {
        const CompiledPicture p = compilePicture(c.text);
        ASSERT_EQ(p.kind, PicNumber) << c.text;
        expectConsistent(p, c.text);
        EXPECT_EQ(p.integerPositions, c.integerPositions) << c.text;
        EXPECT_EQ(p.digits, c.digits) << c.text;
        EXPECT_EQ(p.groupingPositions, c.groups) << c.text;
        EXPECT_EQ(p.decimals, c.decimals) << c.text;
        EXPECT_EQ(p.grouping, c.grouping) << c.text;
        EXPECT_EQ(p.decimalChar, c.decimalChar) << c.text;
    }
    const CompiledPicture signedPicture = compilePicture("@n-15.2");
    EXPECT_TRUE(signedPicture.isSigned);
    EXPECT_EQ(signedPicture.storage, PictureStorage::Decimal);
    EXPECT_EQ(signedPicture.storageDigits, 14);
    EXPECT_FALSE(compilePicture("@n15.2").isSigned);
    EXPECT_EQ(compilePicture("@n200.2").storageDigits, 31);
}

TEST_F(PictureCompiler, StorageClassesBlankAndDateOptions) {
    EXPECT_EQ(compilePicture("@s5").storage, PictureStorage::String);
    EXPECT_EQ(compilePicture("@k##k").storage, PictureStorage::String);
    EXPECT_EQ(compilePicture("@d1").storage, PictureStorage::Long);
    EXPECT_EQ(compilePicture("@t1").storage, PictureStorage::Long);
    EXPECT_EQ(compilePicture("@e10").storage, PictureStorage::Real);
    EXPECT_EQ(compilePicture("@p##p").storage, PictureStorage::Decimal);
    EXPECT_EQ(compilePicture("@s5").storage, PictureStorage::String);
    EXPECT_EQ(compilePicture("@x").storage, PictureStorage::None);

    EXPECT_TRUE(compilePicture("@n9.2B").blankWhenZero);
    EXPECT_TRUE(compilePicture("@n9.2 b").blankWhenZero);
    EXPECT_FALSE(compilePicture("@n9.2").blankWhenZero);

    EXPECT_EQ(compilePicture("@d2").centuryWindow, 80);
    EXPECT_EQ(compilePicture("@d2<").centuryWindow, 80);
    EXPECT_EQ(compilePicture("@d2>").centuryWindow, 19);
    EXPECT_EQ(compilePicture("@d2<30").centuryWindow, 30);
    EXPECT_EQ(compilePicture("@d2>30").centuryWindow, 69);
    EXPECT_EQ(compilePicture("@d2<30.").separator, '.');
    EXPECT_EQ(compilePicture("@d2`").separator, ',');
    EXPECT_EQ(compilePicture("@d2_").separator, ' ');
    EXPECT_EQ(compilePicture("@d06").fill, '0');
    EXPECT_EQ(compilePicture("@d*6").fill, '*');
    EXPECT_EQ(compilePicture("@d_6").fill, ' ');
    EXPECT_EQ(compilePicture("@d6").pictureNumber, 6);
    EXPECT_EQ(compilePicture("@t04").pictureNumber, 4);
    EXPECT_EQ(compilePicture("@t4-").separator, '-');
}

TEST_F(PictureCompiler, EntryFieldDialect) {
    // Numbers 19 and 20 and the variant layouts exist only for entry fields.
    EXPECT_FALSE(compilePicture("@d19").valid());
    EXPECT_FALSE(compilePicture("@d21", PictureDialect::EntryField).valid());
    EXPECT_EQ(compileEntryPicture("@d19").width, 17);
    EXPECT_EQ(compileEntryPicture("@d20").width, 17);
    EXPECT_EQ(compilePicture("@d3").width, 11);
    EXPECT_EQ(compileEntryPicture("@d3").width, 12);
    EXPECT_EQ(compileEntryPicture("@d13").elements[0].ch, 'M');
    EXPECT_EQ(compilePicture("@d13").elements[0].ch, 'm');
    EXPECT_EQ(compileEntryPicture("@t1").elements[0].ch, 'h');
    EXPECT_EQ(compilePicture("@t1").elements[0].ch, 'H');

    // The separator override comes first in entry fields, the window first
    // in the general service.
    EXPECT_TRUE(compileEntryPicture("@d2-<50").valid());
    EXPECT_FALSE(compileEntryPicture("@d2<50-").valid());
    EXPECT_TRUE(compilePicture("@d2<50-").valid());

    // "~~" inside an entry field's currency is one '~'.
    const CompiledPicture entry = compileEntryPicture("@n~a~~b~9.2");
    ASSERT_TRUE(entry.valid());
    EXPECT_EQ(entry.elements[0].ch, 'a');
    EXPECT_EQ(entry.elements[1].ch, '~');
    EXPECT_EQ(entry.elements[2].ch, 'b');
    EXPECT_FALSE(compilePicture("@n~a~~b~9.2").valid());

    // Entry fields take a grouping character before anything but a digit.
    EXPECT_EQ(compileEntryPicture("@n9.-").grouping, '.');
    EXPECT_EQ(compilePicture("@n9.-").grouping, ',');
}

TEST_F(PictureCompiler, RandomTextsNeverBreakTheInvariants) {
    // Texts built from the picture alphabet: whatever compiles keeps every
    // invariant, and a failure leaves a clean invalid picture.
    const std::string alphabet = "@nNeEdDtTsSpPkK0123456789.,`_-()$~*<>vVB #\\|^?";
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = 1 + static_cast<int>(random() % 12);
        text += '@';
        text += "nedtspk"[random() % 7];
        for (int i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        for (PictureDialect dialect : {PictureDialect::General, PictureDialect::EntryField}) {
            const CompiledPicture p = compilePicture(text, dialect);
            if (p.valid()) {
                expectConsistent(p, text);
            } else {
                ASSERT_EQ(p.width, 0) << text;
                ASSERT_EQ(p.count, 0) << text;
            }
        }
    }
}

TEST(RegionalPictures, BuiltFromSettings) {
    RegionalSettings s;
    RegionalPictures r = buildRegionalPictures(s);
    auto text = [](const PictureElement* e, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += e[i].ch;
        return out;
    };
    // Defaults: 12-hour clock with zeros, "MM/dd/yy", the long default.
    EXPECT_EQ(text(r.shortTime, r.shortTimeCount), "hh:mm PP");
    EXPECT_EQ(text(r.longTime, r.longTimeCount), "hh:mm:ss PP");
    EXPECT_EQ(text(r.shortDate, r.shortDateCount), "mm/dd/yy");
    EXPECT_EQ(text(r.longDate, r.longDateCount), "FFFFFFFFF dd, yyyy");

    s.iTime = 1;
    s.iTLzero = 0;
    s.sTime = '.';
    s.sShortDate = "d.M.yyyy";
    s.sLongDate = "dddd, d. MMMM yyyy";
    r = buildRegionalPictures(s);
    EXPECT_EQ(text(r.shortTime, r.shortTimeCount), "Hh.mm");
    EXPECT_EQ(text(r.longTime, r.longTimeCount), "Hh.mm.ss");
    EXPECT_EQ(text(r.shortDate, r.shortDateCount), "Dd.Mm.yyyy");
    EXPECT_EQ(text(r.longDate, r.longDateCount), "Dd. FFFFFFFFF yyyy");

    s.sShortDate = "yyyy-MM-dd";
    s.sLongDate = "yy MMM d 'de' dddd";
    r = buildRegionalPictures(s);
    EXPECT_EQ(text(r.shortDate, r.shortDateCount), "yyyy-mm-dd");
    // Literal text after the last field is not between fields and is dropped.
    EXPECT_EQ(text(r.longDate, r.longDateCount), "yy nnn Dd");

    s.sShortDate = "dd/yy";  // no month: '/' separates
    s.sLongDate = "'no fields'";
    r = buildRegionalPictures(s);
    EXPECT_EQ(text(r.shortDate, r.shortDateCount), "dd/Mm/yy");
    EXPECT_EQ(text(r.longDate, r.longDateCount), "FFFFFFFFF dd, yyyy");

    // Quoted quotes and letters inside quotes are literal text.
    s.sLongDate = "d 'd''M' MM y";
    r = buildRegionalPictures(s);
    EXPECT_EQ(text(r.longDate, r.longDateCount), "Dd d'M mm y");
    EXPECT_EQ(r.longDate[3].role, ElementRole::Separator);
}

}  // namespace
}  // namespace varnok
