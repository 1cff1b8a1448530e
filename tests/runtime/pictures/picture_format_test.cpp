// FORMAT and DEFORMAT: table-driven cases per picture kind, and round trips
// against simple models of rounding, the calendar and the clock.
#include "runtime/pictures/format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "runtime/calendar/century_window.h"
#include "runtime/pictures/date_time_format.h"
#include "runtime/calendar/dates.h"
#include "runtime/pictures/decimal_number.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/regional_pictures.h"

namespace varnok {
namespace {

class Format : public ::testing::Test {
protected:
    void SetUp() override {
        resetLocaleToDefaults();
        replaceRegionalPicturesForTesting(RegionalSettings{});
        setCenturyWindowYear(2026);
    }
    void TearDown() override { setCenturyWindowYear(0); }
};

struct NumberCase {
    double value;
    const char* picture;
    const char* expected;
};

TEST_F(Format, Numbers) {
    const NumberCase cases[] = {
        {1234567.891, "@n-15.2", "   1,234,567.89"},
        {-5, "@n-15.2", "          -5.00"},
        {0.5, "@n-15.2", "           0.50"},
        {12345678901, "@n-15.2", " 12345678901.00"},
        {1234567890, "@n-15.2", " 1234567,890.00"},  // one grouping position taken, leftmost first
        {123456789012, "@n-15.2", " ###########.##"},
        {-123456789012, "@n-15.2", "-###########.##"},
        {0, "@n9.2B", "         "},
        {0.004, "@n9.2B", "         "},
        {0, "@n9.2", "     0.00"},
        {5.5, "@n$9.2", "    $5.50"},
        {5.5, "@n$09.2", "$00005.50"},
        {5.5, "@n$*9.2", "$****5.50"},
        {1234.5, "@n$*10.2", "$**1234.50"},  // a fill character turns grouping off
        {-5.5, "@n$-9.2", "   $-5.50"},
        {-5, "@n9.2-", "    5.00-"},
        {5, "@n9.2-", "    5.00 "},
        {-1234.5, "@n(10.2)", "(1,234.50)"},
        {-5, "@n(10.2)", "    (5.00)"},
        {5, "@n(10.2)", "     5.00 "},
        {-5, "@n9.2", "     5.00"},  // no sign position: the magnitude
        {1234567, "@n-15.", "      1.234.567"},
        {1234567, "@n-15", "      1,234,567"},
        {1234567, "@n15_", "      1 234 567"},
        {1234.5, "@n12`2", "    1.234,50"},
        {1234.5, "@n12__2", "    1 234 50"},
        {42, "@n06", "000042"},
        {42, "@n_6", "    42"},
        {-42, "@n-06", "-00042"},
        {-42, "@n-_6", "   -42"},
        {5.25, "@n7v2", "    525"},
        {0.5, "@n7v2", "     50"},
        {2.675, "@n6.2", "  2.68"},  // half-up on the value's decimal digits
        {1.005, "@n6.2", "  1.01"},
        {-2.5, "@n-4", "  -3"},
        {9.995, "@n6.2", " 10.00"},
        {99.5, "@n2", "##"},
        {-0.001, "@n-6.2", "  0.00"},
        {0.25, "@n3.2", ".25"},
        {-0.5, "@n(5._2)", "( 50)"},  // the sign stops at a blank decimal character
        {5.5, "@n9.2~ EUR~", " 5.50 EUR"},
        {5.5, "@n~EUR ~10.2", "  EUR 5.50"},
        {1e300, "@n-15.2", " ###########.##"},
        {12345, "@n6", "12,345"},
        {123456, "@n6", "123456"},
        {1234567, "@n6", "######"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(FORMAT(c.value, c.picture), c.expected) << c.value << " " << c.picture;
    }
}

TEST_F(Format, ExactTextValuesAndOtherInputs) {
    // Text values are read digit by digit, with no binary rounding on the way.
    EXPECT_EQ(FORMAT("1234567.891", "@n-15.2"), "   1,234,567.89");
    EXPECT_EQ(FORMAT("0.125", "@n5.2"), " 0.13");
    EXPECT_EQ(FORMAT("123456789012345678.5", "@n20"), "123456789012,345,679");
    EXPECT_EQ(FORMAT("-1e3", "@n-6"), "-1,000");
    EXPECT_EQ(FORMAT("  12.50  ", "@n6.2"), " 12.50");
    EXPECT_EQ(FORMAT("abc-12x", "@n-6"), "   -12");
    EXPECT_EQ(FORMAT("none", "@n4"), "   0");
    // Infinity and NaN cannot be shown and overflow.
    EXPECT_EQ(FORMAT(1.0 / 0.0, "@n5"), "#####");
    EXPECT_EQ(FORMAT(std::nan(""), "@n5.1"), "###.#");
    // An invalid picture gives an empty text whatever the value.
    EXPECT_EQ(FORMAT(5, "@n"), "");
    EXPECT_EQ(FORMAT("x", "@q"), "");
}

TEST_F(Format, StringsKeyInAndPatterns) {
    EXPECT_EQ(FORMAT("hello", "@s3"), "hel");
    EXPECT_EQ(FORMAT("hello", "@s7"), "hello  ");
    EXPECT_EQ(FORMAT("hello", "@s0"), "");
    EXPECT_EQ(FORMAT("hello", "@s256"), "");
    EXPECT_EQ(FORMAT(5.5, "@s5"), "5.5  ");
    EXPECT_EQ(FORMAT(-120, "@s5"), "-120 ");
    EXPECT_EQ(FORMAT("abc", "@k###-##k"), "abc   ");
    EXPECT_EQ(FORMAT(5551234, "@p###-####p"), "555-1234");
    EXPECT_EQ(FORMAT("555-1234", "@p###-####p"), "555-1234");
    EXPECT_EQ(FORMAT(1234, "@p<<#-<<#p"), "  1-234");
    EXPECT_EQ(FORMAT(1234, "@p###-###p"), "001-234");
    EXPECT_EQ(FORMAT(-12.6, "@p<<#p"), " 13");
    EXPECT_EQ(FORMAT(1234567, "@p###-###p"), "###-###");
    EXPECT_EQ(FORMAT(0, "@p<<#pB"), "   ");
    EXPECT_EQ(FORMAT(6175551234.0, "@P(###)###-####P"), "(617)555-1234");
}

TEST_F(Format, Scientific) {
    EXPECT_EQ(FORMAT(1234.5, "@e12.1"), " 1.2345E+003");
    EXPECT_EQ(FORMAT(-1234.5, "@e10.1"), "-1.23E+003");
    EXPECT_EQ(FORMAT(0.000123, "@e10.1"), " 1.23E-004");
    EXPECT_EQ(FORMAT(9.999, "@e9.1"), " 1.0E+001");
    EXPECT_EQ(FORMAT(1234.5, "@e10.2"), " 12.3E+002");
    EXPECT_EQ(FORMAT(1234567, "@e13.4"), " 1,234.6E+003");
    EXPECT_EQ(FORMAT(1234567, "@e13`4"), " 1.234,6E+003");
    EXPECT_EQ(FORMAT(0, "@e10.1"), " 0.00E+000");
    EXPECT_EQ(FORMAT(0, "@e10.1B"), "          ");
    EXPECT_EQ(FORMAT(5, "@e8"), " 5.E+000");  // no room for fraction digits
    EXPECT_EQ(FORMAT(1234.5, "@e10.0"), " .123E+004");
    EXPECT_EQ(FORMAT("1e1500", "@e10.1"), " #.##E+###");
    EXPECT_EQ(FORMAT(1e-300, "@e10.1"), " 1.00E-300");
}

TEST_F(Format, Dates) {
    const int32_t day = DATE(1, 5, 2009);
    struct Case {
        const char* picture;
        const char* expected;
    };
    const Case cases[] = {
        {"@d1", " 1/05/09"},
        {"@d2", " 1/05/2009"},
        {"@d3", "JAN  5,2009"},
        {"@d4", "January  5, 2009  "},
        {"@d5", " 5/01/09"},
        {"@d6", " 5/01/2009"},
        {"@d7", " 5 JAN 09"},
        {"@d8", " 5 JAN 2009"},
        {"@d9", "09/01/05"},
        {"@d10", "2009/01/05"},
        {"@d11", "090105"},
        {"@d12", "20090105"},
        {"@d13", "01/09"},
        {"@d14", "01/2009"},
        {"@d15", "09/01"},
        {"@d16", "2009/01"},
        {"@d17", "01/05/09"},
        {"@d18", "January 05, 2009  "},
        {"@d06", "05/01/2009"},
        {"@d*6", "*5/01/2009"},
        {"@d6.", " 5.01.2009"},
        {"@d6`", " 5,01,2009"},
        {"@d3-", "JAN- 5-2009"},
        {"@d6<50.", " 5.01.2009"},
    };
    for (const Case& c : cases) EXPECT_EQ(FORMAT(day, c.picture), c.expected) << c.picture;

    EXPECT_EQ(FORMAT(0, "@d1"), "  /  /  ");
    EXPECT_EQ(FORMAT(0, "@d1B"), "        ");
    EXPECT_EQ(FORMAT(LastStandardDate + 1, "@d3"), "      ,    ");
    EXPECT_EQ(FORMAT(0, "@d4"), std::string(12, ' ') + "," + std::string(5, ' '));
    EXPECT_EQ(FORMAT(day, "@d1B"), " 1/05/09");
    EXPECT_EQ(FORMAT(DATE(12, 25, 2009), "@d1"), "12/25/09");
    EXPECT_EQ(FORMAT(DATE(9, 30, 2009), "@d4"), "September 30, 2009");
    EXPECT_EQ(FORMAT(FirstStandardDate, "@d2"), " 1/01/1801");
    EXPECT_EQ(FORMAT(LastStandardDate, "@d10"), "9999/12/31");
    // Entry-field layouts of 3 and 19.
    EXPECT_EQ(formatValue(day, compileEntryPicture("@d3")), "JAN  5, 2009");
    EXPECT_EQ(formatValue(day, compileEntryPicture("@d19")), " 5 January 2009  ");
}

TEST_F(Format, MonthNamesFollowTheLocale) {
    // Names in the ANSI set: 0xE4 is a small a with diaeresis.
    applySetting("ORVMON", "J\xE4n,Feb,M\xE4r");
    applySetting("ORVMONTH", "Januar");
    const int32_t day = DATE(1, 5, 2009);
    EXPECT_EQ(FORMAT(day, "@d3"), upperCase(std::string("J\xE4n")) + "  5,2009");
    EXPECT_EQ(FORMAT(DATE(3, 5, 2009), "@d7"), " 5 " + upperCase(std::string("M\xE4r")) + " 09");
    EXPECT_EQ(FORMAT(day, "@d4"), "Januar  5, 2009   ");
    EXPECT_EQ(DEFORMAT("J\xE4n  5,2009", "@d3"), std::to_string(day));
    EXPECT_EQ(DEFORMAT("j\xE4N  5,2009", "@d3"), std::to_string(day));
    // A month name longer than its positions is not cut.
    applySetting("ORVMONTH", "Januarmonat1");
    EXPECT_EQ(FORMAT(day, "@d4"), "Januarmonat1  5, 2009");
}

TEST_F(Format, Times) {
    const int32_t t = 14 * 360000 + 7 * 6000 + 9 * 100 + 1;
    struct Case {
        int32_t time;
        const char* picture;
        const char* expected;
    };
    const Case cases[] = {
        {t, "@t1", "14:07"},
        {t, "@t2", "1407"},
        {t, "@t3", " 2:07PM"},
        {t, "@t4", "14:07:09"},
        {t, "@t5", "140709"},
        {t, "@t6", " 2:07:09PM"},
        {t, "@t7", "02:07 PM"},
        {t, "@t8", "02:07:09 PM"},
        {t, "@t4.", "14.07.09"},
        {30 * 6000 + 1, "@t3", "12:30AM"},
        {12 * 360000 + 1, "@t3", "12:00PM"},
        {5 * 360000 + 1, "@t1", " 5:00"},
        {5 * 360000 + 1, "@t01", "05:00"},
        {5 * 360000 + 1, "@t*1", "*5:00"},
        {1, "@t4", " 0:00:00"},
        {LastStandardTime, "@t4", "23:59:59"},
        {0, "@t1B", "     "},
        {0, "@t1", " 0:00"},
        {LastStandardTime + 1, "@t1", "  :  "},
        {-5, "@t3", "  :    "},
        {-5, "@t3B", "       "},
    };
    for (const Case& c : cases) EXPECT_EQ(FORMAT(c.time, c.picture), c.expected) << c.time << " " << c.picture;
    EXPECT_EQ(formatValue(5 * 360000 + 1, compileEntryPicture("@t1")), "05:00");

    applySetting("ORVAMPM", "vm,nm");
    EXPECT_EQ(FORMAT(t, "@t3"), " 2:07nm");
    EXPECT_EQ(DEFORMAT(" 2:07nm", "@t3"), std::to_string(14 * 360000 + 7 * 6000 + 1));
}

TEST_F(Format, RegionalTimesAndDates) {
    RegionalSettings s;
    s.iTime = 1;
    s.iTLzero = 0;
    s.sTime = '.';
    s.sShortDate = "dd.MM.yyyy";
    s.sLongDate = "dddd, d. MMMM yyyy";
    replaceRegionalPicturesForTesting(s);
    const int32_t t = 9 * 360000 + 5 * 6000 + 1;
    EXPECT_EQ(FORMAT(t, "@t7"), " 9.05");
    EXPECT_EQ(FORMAT(t, "@t8"), " 9.05.00");
    const int32_t day = DATE(1, 5, 2009);
    EXPECT_EQ(FORMAT(day, "@d17"), "05.01.2009");
    EXPECT_EQ(FORMAT(day, "@d18"), " 5. January 2009  ");
    EXPECT_EQ(DEFORMAT("05.01.2009", "@d17"), std::to_string(day));
    EXPECT_EQ(DEFORMAT(" 5. January 2009", "@d18"), std::to_string(day));

    s = RegionalSettings{};
    s.s1159 = "a";
    s.s2359 = "p";
    replaceRegionalPicturesForTesting(s);
    EXPECT_EQ(FORMAT(14 * 360000 + 1, "@t7"), "02:00 p ");
    EXPECT_EQ(DEFORMAT("02:00 p ", "@t7"), std::to_string(14 * 360000 + 1));
}

TEST_F(Format, DeformatNumbers) {
    struct Case {
        const char* text;
        const char* picture;
        const char* expected;
    };
    const Case cases[] = {
        {"(1,234.50)", "@n(10.2)", "-1234.50"},
        {"   1,234,567.89", "@n-15.2", "1234567.89"},
        {"          -5.00", "@n-15.2", "-5.00"},
        {"    5.00-", "@n9.2-", "-5.00"},
        {"    $5.50", "@n$9.2", "5.50"},
        {"$00005.50", "@n$09.2", "5.50"},
        {"    1.234,50", "@n12`2", "1234.50"},
        {"    525", "@n7v2", "5.25"},
        {"     50", "@n7v2", "0.50"},
        {"         ", "@n9.2", "0.00"},
        {"", "@n9.2", "0.00"},
        {" 1 2", "@n4", "102"},
        {"   -0.00", "@n-8.2", "0.00"},
        {"+5", "@n-2", "5"},
        {"555-1234", "@p###-####p", "5551234"},
        {" 1.2345E+003", "@e12.1", "1234.5"},
        {"-1.23E-004", "@e10.1", "-0.000123"},
        {" 0.00E+000", "@e10.1", "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(DEFORMAT(c.text, c.picture), c.expected) << c.text << " " << c.picture;
    EXPECT_EQ(DEFORMAT("12", "@n"), "");
}

TEST_F(Format, DeformatStrings) {
    EXPECT_EQ(DEFORMAT("abc12.5x"), "12.5");
    EXPECT_EQ(DEFORMAT("  -12"), "-12");
    EXPECT_EQ(DEFORMAT("1.5e-3"), "1.5e-3");
    EXPECT_EQ(DEFORMAT("1.5E+3"), "1.5E+3");
    EXPECT_EQ(DEFORMAT("1.2.3"), "1.23");
    EXPECT_EQ(DEFORMAT("12-34"), "1234");
    EXPECT_EQ(DEFORMAT("Help 12"), "12");  // an 'e' before any digit is no exponent
    EXPECT_EQ(DEFORMAT("12 each"), "12");  // nor one without digits after it
    EXPECT_EQ(DEFORMAT("none"), "");
    EXPECT_EQ(DEFORMAT("x123456", "@s4"), "123");
    EXPECT_EQ(DEFORMAT(std::string(300, '1')).size(), 255u);
}

TEST_F(Format, DeformatDatesAndTimes) {
    const int32_t day = DATE(1, 5, 2009);
    const std::string expected = std::to_string(day);
    EXPECT_EQ(DEFORMAT(" 1/05/09", "@d1"), expected);
    EXPECT_EQ(DEFORMAT("JAN  5,2009", "@d3"), expected);
    EXPECT_EQ(DEFORMAT("jan  5,2009", "@d3"), expected);
    EXPECT_EQ(DEFORMAT("January  5, 2009", "@d4"), expected);
    EXPECT_EQ(DEFORMAT(" 5 Jan 09", "@d7"), expected);
    EXPECT_EQ(DEFORMAT("05.01.2009", "@d6."), expected);
    EXPECT_EQ(DEFORMAT("01/2009", "@d14"), std::to_string(DATE(1, 1, 2009)));
    EXPECT_EQ(DEFORMAT("  /  /  ", "@d1"), "0");
    EXPECT_EQ(DEFORMAT("02/30/2001", "@d2"), std::to_string(DATE(3, 2, 2001)));  // DATE rolls over
    EXPECT_EQ(DEFORMAT("00/05/2009", "@d2"), "-1");
    EXPECT_EQ(DEFORMAT("XYZ  5,2009", "@d3"), "-1");
    // The picture's century window decides the century of a two-digit year.
    EXPECT_EQ(DEFORMAT(" 1/05/45", "@d1"), std::to_string(DATE(1, 5, 2045)));
    EXPECT_EQ(DEFORMAT(" 1/05/46", "@d1"), std::to_string(DATE(1, 5, 1946)));
    EXPECT_EQ(DEFORMAT(" 1/05/46", "@d1<10"), std::to_string(DATE(1, 5, 2046)));
    EXPECT_EQ(DEFORMAT(" 1/05/50", "@d1>30"), std::to_string(DATE(1, 5, 2050)));
    EXPECT_EQ(DEFORMAT(" 1/05/50", "@d1"), std::to_string(DATE(1, 5, 1950)));

    EXPECT_EQ(DEFORMAT("02:30PM", "@t3"), std::to_string(14 * 360000 + 30 * 6000 + 1));
    EXPECT_EQ(DEFORMAT("02:30pm", "@t3"), std::to_string(14 * 360000 + 30 * 6000 + 1));
    EXPECT_EQ(DEFORMAT("12:30AM", "@t3"), std::to_string(30 * 6000 + 1));
    EXPECT_EQ(DEFORMAT("12:30PM", "@t3"), std::to_string(12 * 360000 + 30 * 6000 + 1));
    EXPECT_EQ(DEFORMAT("14:07:09", "@t4"), std::to_string(14 * 360000 + 7 * 6000 + 9 * 100 + 1));
    EXPECT_EQ(DEFORMAT("24:00", "@t1"), "-1");
    EXPECT_EQ(DEFORMAT("12:60", "@t1"), "-1");
    EXPECT_EQ(DEFORMAT(" 1:30PM", "@t1"), std::to_string(1 * 360000 + 30 * 6000 + 1));
    EXPECT_EQ(DEFORMAT("  :  ", "@t1"), "0");
}

// Round trips against a model: a value written as an integer count of
// 1/10^scale units, rounded half-up to the picture's decimals with integer
// arithmetic, must come back from DEFORMAT(FORMAT(v, p), p) exactly.
TEST_F(Format, NumberRoundTripsAgainstIntegerModel) {
    const char* pictures[] = {"@n-15.2", "@n-15",   "@n(12.3)", "@n$-14.4", "@n015.2-",  "@n*13.1",
                              "@n-12v2", "@n-15`2", "@n-16__2", "@n~kr~-14.3", "@n-_9",  "@n-20.6"};
    std::mt19937_64 random(7);
    for (const char* text : pictures) {
        const CompiledPicture p = compilePicture(text);
        ASSERT_TRUE(p.valid()) << text;
        for (int round = 0; round < 1500; ++round) {
            const int64_t limit = 1000000000000LL;
            int64_t units = static_cast<int64_t>(random() % limit) >> (random() % 40);
            const bool negative = random() % 2 == 1;
            char value[64];
            std::snprintf(value, sizeof value, "%s%lld.%0*lld", negative ? "-" : "",
                          static_cast<long long>(units / 1000000), 6, static_cast<long long>(units % 1000000));
            // Model: round |units| (1e-6) half-up to p.decimals.
            int64_t step = 1;
            for (int k = p.decimals; k < 6; ++k) step *= 10;
            int64_t rounded = p.decimals >= 6 ? units : (units + step / 2) / step * step;
            DecimalNumber expected;
            char expectedText[64];
            std::snprintf(expectedText, sizeof expectedText, "%s%lld.%06lld", negative ? "-" : "",
                          static_cast<long long>(rounded / 1000000), static_cast<long long>(rounded % 1000000));
            ASSERT_TRUE(DecimalNumber::parse(expectedText, expected));
            if (expected.integerDigits() > p.digits + p.groupingPositions) continue;  // overflow
            if (!p.isSigned) expected.negative = false;
            const std::string shown = formatText(value, p);
            ASSERT_EQ(shown.size(), p.width) << text << " " << value;
            DecimalNumber back;
            ASSERT_TRUE(DecimalNumber::parse(deformatText(shown, p), back)) << shown;
            ASSERT_EQ(back.plainText(), expected.plainText()) << text << " " << value << " -> '" << shown << "'";
        }
    }
}

TEST_F(Format, PatternAndScientificRoundTrips) {
    std::mt19937_64 random(11);
    const CompiledPicture pattern = compilePicture("@p<<#-###-####p");
    for (int round = 0; round < 2000; ++round) {
        const int64_t v = static_cast<int64_t>(random() % 10000000000LL) >> (random() % 34);
        ASSERT_EQ(deformatText(formatValue(static_cast<double>(v), pattern), pattern), std::to_string(v));
    }
    // Scientific: the shown mantissa has as many significant digits as
    // positions; reading back gives the value rounded to them.
    const CompiledPicture scientific = compilePicture("@e20.1");  // 1 + 12 fraction digits
    for (int round = 0; round < 2000; ++round) {
        const double v = std::ldexp(static_cast<double>(random() % 1000000007) - 500000000.0,
                                    static_cast<int>(random() % 200) - 100);
        DecimalNumber expected = DecimalNumber::fromDouble(v);
        expected.roundToSignificant(13);
        const std::string shown = formatValue(v, scientific);
        ASSERT_EQ(shown.size(), 20u);
        ASSERT_EQ(deformatText(shown, scientific), expected.plainText()) << v << " " << shown;
    }
}

TEST_F(Format, DateRoundTripsOverTheWholeRange) {
    // Four-digit year pictures give every date back; pictures without a day
    // give the first of the month; two-digit years come back within the
    // century window.
    const int fullYear[] = {2, 3, 4, 6, 8, 10, 12, 18};
    const int twoDigit[] = {1, 5, 7, 9, 11, 17};
    const int noDay[] = {14, 16};
    CompiledPicture full[8], two[6], month[2];
    for (int i = 0; i < 8; ++i) full[i] = compilePicture("@d" + std::to_string(fullYear[i]));
    for (int i = 0; i < 6; ++i) two[i] = compilePicture("@d" + std::to_string(twoDigit[i]));
    for (int i = 0; i < 2; ++i) month[i] = compilePicture("@d" + std::to_string(noDay[i]));
    for (int32_t d = FirstStandardDate; d <= LastStandardDate; d += 97) {
        CalendarDate c;
        ASSERT_EQ(dateToCalendar(d, c), 0);
        for (const CompiledPicture& p : full) {
            ASSERT_EQ(deformatDate(formatDate(p, d), p), d) << int(p.pictureNumber) << " " << d;
        }
        const bool inWindow = c.year >= 2026 - 80 && c.year <= 2026 + 19;
        for (const CompiledPicture& p : two) {
            const int32_t back = deformatDate(formatDate(p, d), p);
            if (inWindow) {
                ASSERT_EQ(back, d) << int(p.pictureNumber) << " " << d;
            } else {
                ASSERT_NE(back, d) << int(p.pictureNumber) << " " << d;
            }
        }
        for (const CompiledPicture& p : month) {
            ASSERT_EQ(deformatDate(formatDate(p, d), p), calendarToDate(c.year, c.month, 1));
        }
    }
}

TEST_F(Format, TimeRoundTripsOverTheDay) {
    for (int number = 1; number <= 8; ++number) {
        const CompiledPicture p = compilePicture("@t" + std::to_string(number));
        const bool seconds = number == 4 || number == 5 || number == 6 || number == 8;
        for (int32_t t = 1; t <= LastStandardTime; t += 997) {
            TimeRecord r;
            ASSERT_EQ(timeToRecord(t, r), 0);
            r.hundredths = 0;
            if (!seconds) r.seconds = 0;
            int32_t expected = recordToTime(r);
            if (expected == 0) expected = 1;
            // Midnight without seconds reads back as no digits other than zero.
            ASSERT_EQ(deformatTime(formatTime(p, t), p), expected) << number << " " << t;
        }
    }
}

}  // namespace
}  // namespace varnok
