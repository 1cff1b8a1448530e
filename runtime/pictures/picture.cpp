#include "runtime/pictures/picture.h"

#include "runtime/pictures/picture_layouts.h"

namespace varnok {

namespace {

constexpr int MaxWidth = CompiledPicture::MaxWidth;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A read position in the picture text; reading past the end gives '\0'.
struct Cursor {
    std::string_view text;
    size_t at = 0;

    char peek(size_t ahead = 0) const { return at + ahead < text.size() ? text[at + ahead] : '\0'; }
    bool atEnd() const { return at >= text.size(); }
    // True when nothing but the blank-when-zero suffix follows `ahead`
    // characters from here: blanks, at most one B, blanks.
    bool onlySuffixFrom(size_t ahead) const {
        size_t i = at + ahead;
        while (i < text.size() && isBlank(text[i])) ++i;
        if (i < text.size() && (text[i] == 'B' || text[i] == 'b')) ++i;
        while (i < text.size() && isBlank(text[i])) ++i;
        return i >= text.size();
    }
    // Decimal digits as a number, -1 when there are none. Large numbers are
    // held at 100000, which every range check rejects.
    int number() {
        if (!isDigit(peek())) return -1;
        int value = 0;
        while (isDigit(peek())) {
            if (value < 100000) value = value * 10 + (text[at] - '0');
            ++at;
        }
        return value;
    }
};

// The blank-when-zero suffix and the end of the picture.
bool finish(Cursor& c, CompiledPicture& p) {
    while (isBlank(c.peek())) ++c.at;
    if (c.peek() == 'B' || c.peek() == 'b') {
        p.blankWhenZero = true;
        ++c.at;
    }
    while (isBlank(c.peek())) ++c.at;
    return c.atEnd();
}

// `_` stands for a blank and the backquote for a comma wherever a picture
// names a separator character.
char separatorChar(char c) {
    switch (c) {
    case '_': return ' ';
    case '`': return ',';
    default: return c;
    }
}

// A currency text: `$`, or text between two `~`. Entry fields read `~~`
// inside the text as one `~`. False when the closing `~` is missing.
struct Currency {
    char text[MaxWidth];
    int length = 0;
    bool present = false;
};

bool readCurrency(Cursor& c, PictureDialect dialect, Currency& cur) {
    if (c.peek() == '$') {
        ++c.at;
        cur.text[0] = '$';
        cur.length = 1;
        cur.present = true;
        return true;
    }
    if (c.peek() != '~') return true;
    ++c.at;
    for (;;) {
        if (c.atEnd()) return false;
        char ch = c.text[c.at++];
        if (ch == '~') {
            if (dialect == PictureDialect::EntryField && c.peek() == '~') {
                ++c.at;
            } else {
                break;
            }
        }
        if (cur.length >= MaxWidth) return false;
        cur.text[cur.length++] = ch;
    }
    cur.present = true;
    return true;
}

struct ElementWriter {
    CompiledPicture& p;
    void add(ElementRole role, char ch) { p.elements[p.count++] = PictureElement{role, ch}; }
};

// Integer positions from left to right: a grouping position after every
// third digit from the right, as long as a position remains to its left.
void layIntegerPositions(ElementWriter& w, int positions, bool grouped, ElementRole unitRole,
                         ElementRole otherRole) {
    for (int k = 0; k < positions; ++k) {
        const int fromRight = positions - 1 - k;
        if (grouped && fromRight % 4 == 3 && fromRight < positions - 1) {
            w.add(ElementRole::Grouping, w.p.grouping);
        } else {
            w.add(fromRight == 0 ? unitRole : otherRole, '9');
        }
    }
}

bool isNumberDecimalChar(char c) { return c == '.' || c == '`' || c == '_' || c == 'v' || c == 'V'; }

// Whether the character at the cursor is a grouping character: general
// pictures take it as such only before a decimal character or the end,
// entry fields before anything but a digit.
bool groupingAhead(const Cursor& c, PictureDialect dialect, bool (*isDecimalChar)(char)) {
    const char g = c.peek();
    if (g != '.' && g != '_' && g != '`') return false;
    if (dialect == PictureDialect::EntryField) return !isDigit(c.peek(1));
    return isDecimalChar(c.peek(1)) || c.onlySuffixFrom(1);
}

bool compileNumber(Cursor& c, PictureDialect dialect, CompiledPicture& p) {
    Currency lead, trail;
    if (!readCurrency(c, dialect, lead)) return false;

    char leadSign = 0;
    if (c.peek() == '-' || c.peek() == '(') leadSign = c.text[c.at++];

    bool fillGiven = false;
    if (c.peek() == '0' || c.peek() == '_' || c.peek() == '*') {
        p.fill = separatorChar(c.text[c.at++]);
        fillGiven = true;
    }

    const int width = c.number();
    if (width < 1 || width > MaxWidth) return false;

    bool groupingGiven = false;
    if (groupingAhead(c, dialect, isNumberDecimalChar)) {
        p.grouping = separatorChar(c.text[c.at++]);
        groupingGiven = true;
    }

    int decimals = 0;
    char decimalChar = 0;
    if (isNumberDecimalChar(c.peek())) {
        const char d = c.text[c.at++];
        if (d == 'v' || d == 'V') {
            p.impliedDecimal = true;
        } else {
            decimalChar = separatorChar(d);
        }
        const int n = c.number();
        decimals = n < 0 ? 0 : n;
    }
    if (!groupingGiven) p.grouping = fillGiven ? 0 : (decimalChar == ',' ? '.' : ',');

    char trailSign = 0;
    if (leadSign == '(') {
        if (c.peek() != ')') return false;
        trailSign = c.text[c.at++];
    } else if (leadSign == 0 && c.peek() == '-') {
        trailSign = c.text[c.at++];
    }
    if (!lead.present && !readCurrency(c, dialect, trail)) return false;
    if (!finish(c, p)) return false;

    const int signs = (leadSign ? 1 : 0) + (trailSign ? 1 : 0);
    const int need = lead.length + trail.length + signs + (decimals > 0 ? decimals + 1 : 0);
    if (width < need) return false;
    const bool impliedPoint = p.impliedDecimal && decimals > 0;
    const int integerPositions = width - need + (impliedPoint ? 1 : 0);
    const int groups = p.grouping != 0 && integerPositions > 0 ? (integerPositions - 1) / 4 : 0;
    if (integerPositions - groups + decimals == 0) return false;  // nothing to show digits in

    p.kind = PicNumber;
    p.storage = PictureStorage::Decimal;
    p.width = static_cast<uint8_t>(width);
    p.decimals = static_cast<uint8_t>(decimals);
    p.decimalChar = decimals > 0 && !impliedPoint ? decimalChar : 0;
    p.integerPositions = static_cast<uint8_t>(integerPositions);
    p.groupingPositions = static_cast<uint8_t>(groups);
    p.digits = static_cast<uint8_t>(integerPositions - groups);
    const int storageDigits = integerPositions + decimals + 1;
    p.storageDigits = static_cast<uint8_t>(storageDigits > 31 ? 31 : storageDigits);
    p.isSigned = signs > 0;

    ElementWriter w{p};
    for (int i = 0; i < lead.length; ++i) w.add(ElementRole::Literal, lead.text[i]);
    if (leadSign) w.add(ElementRole::Sign, leadSign);
    p.integerBegin = p.count;
    // The digit left of the decimal point always shows, except where the
    // point is implied; zero fill shows every leading zero.
    const ElementRole other = p.fill == '0' ? ElementRole::Digit : ElementRole::DigitOrFill;
    const ElementRole unit = impliedPoint ? other : ElementRole::Digit;
    layIntegerPositions(w, integerPositions, groups > 0, unit, other);
    p.integerEnd = p.count;
    if (decimals > 0 && !impliedPoint) w.add(ElementRole::DecimalPoint, decimalChar);
    for (int i = 0; i < decimals; ++i) w.add(ElementRole::Digit, '9');
    if (trailSign) w.add(ElementRole::Sign, trailSign);
    for (int i = 0; i < trail.length; ++i) w.add(ElementRole::Literal, trail.text[i]);
    return true;
}

bool isScientificDecimalChar(char c) { return c == '.' || c == '`'; }

bool compileScientific(Cursor& c, PictureDialect dialect, CompiledPicture& p) {
    const int width = c.number();
    if (width < 7 || width > MaxWidth) return false;
    bool groupingGiven = false;
    if (groupingAhead(c, dialect, isScientificDecimalChar)) {
        p.grouping = separatorChar(c.text[c.at++]);
        groupingGiven = true;
    }
    char decimalChar = '.';
    if (isScientificDecimalChar(c.peek())) decimalChar = separatorChar(c.text[c.at++]);
    int mantissa = c.number();
    if (mantissa < 0) mantissa = 1;
    if (mantissa > MaxWidth) return false;
    if (!groupingGiven) p.grouping = decimalChar == ',' ? '.' : ',';
    if (!finish(c, p)) return false;

    // With no digit before the point the mantissa is 0.ddd, the first
    // fraction digit not zero; some digit must be shown either way.
    const int groups = mantissa > 0 ? (mantissa - 1) / 3 : 0;
    if (width < mantissa + groups + 7 || (width == mantissa + groups + 7 && mantissa == 0)) return false;

    p.kind = PicScientific;
    p.storage = PictureStorage::Real;
    p.width = static_cast<uint8_t>(width);
    p.decimalChar = decimalChar;
    p.mantissaDigits = static_cast<uint8_t>(mantissa);
    p.fractionDigits = static_cast<uint8_t>(width - mantissa - groups - 7);
    p.decimals = p.fractionDigits;
    p.integerPositions = static_cast<uint8_t>(mantissa + groups);
    p.groupingPositions = static_cast<uint8_t>(groups);
    p.digits = static_cast<uint8_t>(mantissa);
    p.isSigned = true;

    ElementWriter w{p};
    w.add(ElementRole::Sign, '-');
    p.integerBegin = p.count;
    layIntegerPositions(w, mantissa + groups, groups > 0, ElementRole::Digit, ElementRole::Digit);
    p.integerEnd = p.count;
    w.add(ElementRole::DecimalPoint, decimalChar);
    for (int i = 0; i < p.fractionDigits; ++i) w.add(ElementRole::Digit, '9');
    w.add(ElementRole::ExponentLetter, 'E');
    w.add(ElementRole::ExponentSign, '+');
    for (int i = 0; i < 3; ++i) w.add(ElementRole::ExponentDigit, '9');
    return true;
}

bool readDateTimeFill(Cursor& c, CompiledPicture& p) {
    if (c.peek() == '0' || c.peek() == '_' || c.peek() == '*') {
        p.fill = separatorChar(c.text[c.at++]);
        return true;
    }
    return false;
}

bool readSeparatorOverride(Cursor& c, CompiledPicture& p) {
    const char s = c.peek();
    if (s == '.' || s == '-' || s == '_' || s == '`') {
        p.separator = separatorChar(s);
        ++c.at;
    }
    return true;
}

// `<` n: n years back; `>` n: 99 - n. n from 1 to 99; without n 80 and 19.
bool readCenturyWindow(Cursor& c, CompiledPicture& p) {
    const char w = c.peek();
    if (w != '<' && w != '>') return true;
    ++c.at;
    const int n = c.number();
    if (n < 0) {
        p.centuryWindow = w == '<' ? 80 : 19;
        return true;
    }
    if (n < 1 || n > 99) return false;
    p.centuryWindow = static_cast<uint8_t>(w == '<' ? n : 99 - n);
    return true;
}

bool compileDate(Cursor& c, PictureDialect dialect, CompiledPicture& p) {
    readDateTimeFill(c, p);
    const int number = c.number();
    const int count = number < 1 ? 0 : dateLayout(number, dialect, p.elements);
    if (count == 0) return false;
    if (dialect == PictureDialect::General) {
        if (!readCenturyWindow(c, p) || !readSeparatorOverride(c, p)) return false;
    } else {
        if (!readSeparatorOverride(c, p) || !readCenturyWindow(c, p)) return false;
    }
    if (!finish(c, p)) return false;
    p.kind = PicDate;
    p.storage = PictureStorage::Long;
    p.pictureNumber = static_cast<uint8_t>(number);
    p.count = static_cast<uint8_t>(count);
    p.width = static_cast<uint8_t>(count);
    return true;
}

bool compileTime(Cursor& c, PictureDialect dialect, CompiledPicture& p) {
    readDateTimeFill(c, p);
    const int number = c.number();
    const int count = number < 1 ? 0 : timeLayout(number, dialect, p.elements);
    if (count == 0) return false;
    readSeparatorOverride(c, p);
    if (!finish(c, p)) return false;
    p.kind = PicTime;
    p.storage = PictureStorage::Long;
    p.pictureNumber = static_cast<uint8_t>(number);
    p.regionalAmPm = number == 7 || number == 8;
    p.count = static_cast<uint8_t>(count);
    p.width = static_cast<uint8_t>(count);
    return true;
}

bool compileString(Cursor& c, CompiledPicture& p) {
    const int width = c.number();
    if (width < 1 || width > MaxWidth) return false;
    if (!finish(c, p)) return false;
    p.kind = PicString;
    p.storage = PictureStorage::String;
    p.width = static_cast<uint8_t>(width);
    return true;
}

// `#` digit, `<` digit or blank, anything else literal; ends at the kind
// letter as it was written.
bool compilePattern(Cursor& c, char terminator, CompiledPicture& p) {
    ElementWriter w{p};
    int digits = 0;
    for (;;) {
        if (c.atEnd()) return false;
        const char ch = c.text[c.at++];
        if (ch == terminator) break;
        if (p.count >= MaxWidth) return false;
        if (ch == '#' || ch == '<') {
            w.add(ch == '#' ? ElementRole::Digit : ElementRole::DigitOrFill, ch);
            ++digits;
        } else {
            w.add(ElementRole::Literal, ch);
        }
    }
    if (digits == 0) return false;
    if (!finish(c, p)) return false;
    p.kind = PicPattern;
    p.storage = PictureStorage::Decimal;
    p.width = p.count;
    p.integerBegin = 0;
    p.integerEnd = p.count;
    p.integerPositions = p.count;
    p.digits = static_cast<uint8_t>(digits);
    p.storageDigits = static_cast<uint8_t>(digits + 1 > 31 ? 31 : digits + 1);
    return true;
}

bool compileKeyIn(Cursor& c, char terminator, CompiledPicture& p) {
    ElementWriter w{p};
    for (;;) {
        if (c.atEnd()) return false;
        char ch = c.text[c.at++];
        if (ch == terminator) break;
        if (p.count >= MaxWidth) return false;
        ElementRole role = ElementRole::Literal;
        switch (ch) {
        case '\\':
            if (c.atEnd()) return false;
            ch = c.text[c.at++];
            break;
        case '#': role = ElementRole::Digit; break;
        case '<': role = ElementRole::DigitOrFill; break;
        case '@': role = ElementRole::Letter; break;
        case '^': role = ElementRole::UpperLetter; break;
        case '_': role = ElementRole::LowerLetter; break;
        case '?': role = ElementRole::AnyCharacter; break;
        case '|': role = ElementRole::StopMark; break;
        default: break;
        }
        w.add(role, ch);
    }
    if (p.count == 0) return false;
    if (!finish(c, p)) return false;
    p.kind = PicKeyIn;
    p.storage = PictureStorage::String;
    p.width = p.count;
    return true;
}

}  // namespace

CompiledPicture compilePicture(std::string_view text, PictureDialect dialect) {
    CompiledPicture p;
    Cursor c{text};
    if (c.peek() == '@') ++c.at;
    if (c.atEnd()) return p;
    const char letter = c.text[c.at++];
    bool ok = false;
    switch (letter) {
    case 'n': case 'N': ok = compileNumber(c, dialect, p); break;
    case 'e': case 'E': ok = compileScientific(c, dialect, p); break;
    case 'd': case 'D': ok = compileDate(c, dialect, p); break;
    case 't': case 'T': ok = compileTime(c, dialect, p); break;
    case 's': case 'S': ok = compileString(c, p); break;
    case 'p': case 'P': ok = compilePattern(c, letter, p); break;
    case 'k': case 'K': ok = compileKeyIn(c, letter, p); break;
    default: break;
    }
    if (!ok) p = CompiledPicture{};  // a failed parse may have set some fields
    return p;
}

CompiledPicture compilePicture(std::string_view text) { return compilePicture(text, PictureDialect::General); }

CompiledPicture compileEntryPicture(std::string_view text) {
    return compilePicture(text, PictureDialect::EntryField);
}

}  // namespace varnok
