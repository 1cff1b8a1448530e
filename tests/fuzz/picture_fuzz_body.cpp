// Fuzz body for pictures, shared by the libFuzzer target and the corpus
// replay test. The input is a picture text, a newline and a value text. Any
// input must compile to a valid or a cleanly invalid picture; every result
// of a valid picture has the picture's width; and where the picture can hold
// a value, reading back what FORMAT wrote gives that value. A broken
// invariant aborts with a message.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/pictures/date_time_format.h"
#include "runtime/calendar/dates.h"
#include "runtime/pictures/decimal_number.h"
#include "runtime/pictures/format.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/number_format.h"
#include "runtime/pictures/picture.h"

namespace {

using namespace varnok;

void require(bool condition, const char* what, std::string_view picture) {
    if (condition) return;
    std::fprintf(stderr, "picture fuzz: %s (picture \"%.*s\")\n", what, static_cast<int>(picture.size()),
                 picture.data());
    std::abort();
}

bool has(const CompiledPicture& p, ElementRole role) {
    for (int i = 0; i < p.count; ++i) {
        if (p.elements[i].role == role) return true;
    }
    return false;
}

int yearDigits(const CompiledPicture& p) {
    int n = 0;
    for (int i = 0; i < p.count; ++i) n += p.elements[i].role == ElementRole::Year;
    return n;
}

// Currency and literal texts that hold digits or sign characters are read
// back as part of the number when they float next to it.
bool literalsStayOutOfTheNumber(const CompiledPicture& p) {
    for (int i = 0; i < p.count; ++i) {
        const PictureElement& e = p.elements[i];
        if (e.role != ElementRole::Literal) continue;
        if ((e.ch >= '0' && e.ch <= '9') || e.ch == '-' || e.ch == '(' || e.ch == '+') return false;
    }
    return true;
}

void checkNumberRoundTrip(const CompiledPicture& p, std::string_view picture, std::string_view value,
                          const std::string& shown) {
    DecimalNumber expected;
    if (!DecimalNumber::parse(value, expected)) return;
    if (shown.find('#') != std::string::npos) return;
    if (p.kind == PicNumber && !literalsStayOutOfTheNumber(p)) return;
    expected.roundToDecimals(p.kind == PicPattern ? 0 : p.decimals);
    if (!p.isSigned) expected.negative = false;
    DecimalNumber back;
    require(DecimalNumber::parse(deformatText(shown, p), back), "DEFORMAT gives a plain number", picture);
    require(back.plainText() == expected.plainText(), "DEFORMAT(FORMAT(v)) == v for numbers", picture);
}

void checkDateRoundTrip(const CompiledPicture& p, std::string_view picture, int32_t date) {
    if (date < FirstStandardDate || date > LastStandardDate) return;
    if (!has(p, ElementRole::Day) || yearDigits(p) != 4) return;
    if (!has(p, ElementRole::Month) && !has(p, ElementRole::MonthName)) return;
    require(deformatDate(formatDate(p, date), p) == date, "DEFORMAT(FORMAT(d)) == d for dates", picture);
}

void checkTimeRoundTrip(const CompiledPicture& p, std::string_view picture, int32_t time) {
    TimeRecord r;
    if (timeToRecord(time, r) != 0 || !has(p, ElementRole::Hours) || !has(p, ElementRole::Minutes)) return;
    const int32_t seconds = has(p, ElementRole::Seconds) ? r.seconds : 0;
    const int32_t expected = r.hours * 360000 + r.minutes * 6000 + seconds * 100 + 1;
    require(deformatTime(formatTime(p, time), p) == expected, "DEFORMAT(FORMAT(t)) == t for times", picture);
}

void checkPicture(const CompiledPicture& p, std::string_view picture, std::string_view value, double number,
                  uint32_t bits) {
    if (!p.valid()) {
        require(p.width == 0 && p.count == 0, "an invalid picture is clean", picture);
        require(formatText(value, p).empty() && formatValue(number, p).empty(), "FORMAT of invalid is empty",
                picture);
        require(deformatText(value, p).empty(), "DEFORMAT of invalid is empty", picture);
        return;
    }
    require(p.width >= 1 && (p.kind == PicString || p.count == p.width), "width and element count", picture);
    const std::string shown = formatText(value, p);
    require(shown.size() == p.width, "FORMAT of a text has the picture's width", picture);
    require(formatValue(number, p).size() == p.width, "FORMAT of a number has the picture's width", picture);
    deformatText(value, p);
    const int32_t whole = static_cast<int32_t>(bits % (LastStandardDate + 2));
    switch (p.kind) {
    case PicNumber:
    case PicPattern: checkNumberRoundTrip(p, picture, value, shown); break;
    case PicDate: checkDateRoundTrip(p, picture, whole); break;
    case PicTime: checkTimeRoundTrip(p, picture, whole % (LastStandardTime + 1)); break;
    default: break;
    }
}

}  // namespace

void fuzzPicture(const uint8_t* data, size_t size) {
    resetLocaleToDefaults();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string_view picture = input.substr(0, newline);
    const std::string_view value = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);
    // A number from the value's first bytes, so every bit pattern (NaN,
    // infinities, subnormals) reaches the number paths.
    double number = 0;
    uint32_t bits = 0;
    if (!value.empty()) {
        std::memcpy(&number, value.data(), value.size() < sizeof number ? value.size() : sizeof number);
        std::memcpy(&bits, value.data(), value.size() < sizeof bits ? value.size() : sizeof bits);
    }

    const CompiledPicture general = compilePicture(picture);
    checkPicture(general, picture, value, number, bits);
    const CompiledPicture entry = compileEntryPicture(picture);
    checkPicture(entry, picture, value, number, bits);
    require(FORMAT(value, picture) == formatText(value, general), "FORMAT compiles as compilePicture", picture);
    DEFORMAT(value);
}
