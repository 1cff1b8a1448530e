#include "runtime/pictures/number_format.h"

#include <cstring>

namespace varnok {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Marks a grouping position whose character is decided once the leftmost
// shown digit is known. Only number pictures have grouping positions, and
// their integer area holds nothing but digits and grouping positions, so the
// marker cannot be mistaken for a pattern's literal.
constexpr char Undecided = '\0';

}  // namespace

void formatNumber(const CompiledPicture& p, DecimalNumber& v, char* out) {
    const int width = p.width;
    v.roundToDecimals(p.kind == PicPattern ? 0 : p.decimals);
    if (v.finite && v.isZero() && p.blankWhenZero) {
        std::memset(out, ' ', static_cast<size_t>(width));
        return;
    }
    const bool negative = v.negative;
    const int integerDigits = v.integerDigits();
    const bool overflow = !v.finite || integerDigits > p.digits + p.groupingPositions;
    // Grouping positions, counted from the left, that hold digits instead.
    const int takenGroups = integerDigits > p.digits ? integerDigits - p.digits : 0;
    const char fillChar = p.fill == 0 ? ' ' : p.fill;
    const PictureElement* e = p.elements;

    // Integer area, right to left: the value's digits, then fill.
    int firstShown = p.integerEnd;  // leftmost position showing a digit
    int place = 0;                  // next integer digit of the value, 10^place
    int groupFromRight = 0;
    for (int i = p.integerEnd - 1; i >= p.integerBegin; --i) {
        const ElementRole role = e[i].role;
        if (role == ElementRole::Literal) {  // pattern literal
            out[i] = e[i].ch;
            continue;
        }
        if (overflow) {
            out[i] = '#';
            continue;
        }
        if (role == ElementRole::Grouping) {
            const int fromLeft = p.groupingPositions - 1 - groupFromRight++;
            if (fromLeft >= takenGroups) {
                out[i] = Undecided;
                continue;
            }
        }
        if (place < integerDigits) {
            out[i] = v.digitAt(place++);
            firstShown = i;
        } else if (role == ElementRole::Digit) {
            out[i] = '0';
            firstShown = i;
        } else {
            out[i] = fillChar;
            if (p.fill == '0') firstShown = i;
        }
    }
    if (!overflow && p.groupingPositions > 0) {
        const char before = p.fill == '*' ? '*' : ' ';
        for (int i = p.integerBegin; i < p.integerEnd; ++i) {
            if (out[i] == Undecided) out[i] = i > firstShown ? p.grouping : before;
        }
    }

    // Everything around it: signs, currency, decimal point, fraction digits.
    int fraction = 0;
    for (int i = 0; i < width; ++i) {
        if (i == p.integerBegin) i = p.integerEnd;
        if (i >= width) break;
        switch (e[i].role) {
        case ElementRole::Digit:
        case ElementRole::DigitOrFill:
            out[i] = overflow ? '#' : v.digitAt(-1 - fraction++);
            break;
        case ElementRole::Sign:
            out[i] = negative ? e[i].ch : ' ';
            break;
        default:
            out[i] = e[i].ch;
            break;
        }
    }

    // Without zero or asterisk fill the leading currency and sign move right,
    // next to the first digit shown, never past the integer positions (a
    // blank decimal character must keep its place); a blank sign is simply
    // left out.
    if (!overflow && (p.fill == 0 || p.fill == ' ') && p.integerBegin > 0) {
        int first = p.integerBegin;
        while (first < p.integerEnd && out[first] == ' ') ++first;
        char block[CompiledPicture::MaxWidth];
        int length = 0;
        for (int i = 0; i < p.integerBegin; ++i) {
            if (e[i].role == ElementRole::Sign && !negative) continue;
            block[length++] = out[i];
        }
        const int start = first - length;
        std::memset(out, ' ', static_cast<size_t>(start));
        std::memcpy(out + start, block, static_cast<size_t>(length));
    }
}

void formatScientific(const CompiledPicture& p, DecimalNumber& v, char* out) {
    const int width = p.width;
    const int m = p.mantissaDigits;
    const bool zero = v.finite && v.isZero();
    if (zero && p.blankWhenZero) {
        std::memset(out, ' ', static_cast<size_t>(width));
        return;
    }
    int exponent = 0;
    if (!zero && v.finite) {
        v.roundToSignificant(m + p.fractionDigits);
        exponent = v.exponent - m;
    }
    const bool overflow = !v.finite || exponent > 999 || exponent < -999;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    const PictureElement* e = p.elements;
    int digit = 0;     // next mantissa digit, counting from the first
    int exponentDigit = 0;
    for (int i = 0; i < width; ++i) {
        switch (e[i].role) {
        case ElementRole::Sign:
            out[i] = v.negative ? '-' : ' ';
            break;
        case ElementRole::Digit:
            if (overflow) {
                out[i] = '#';
            } else if (zero) {
                // Zero: one 0 left of the point, blanks before it.
                out[i] = i < p.integerEnd - 1 ? ' ' : '0';
            } else {
                out[i] = digit < v.count ? v.digits[digit] : '0';
            }
            ++digit;
            break;
        case ElementRole::Grouping:
            out[i] = overflow ? '#' : zero ? ' ' : e[i].ch;
            break;
        case ElementRole::ExponentSign:
            out[i] = exponent < 0 ? '-' : '+';
            break;
        case ElementRole::ExponentDigit: {
            static const int divisors[3] = {100, 10, 1};
            out[i] = overflow ? '#' : static_cast<char>('0' + magnitude / divisors[exponentDigit] % 10);
            ++exponentDigit;
            break;
        }
        default:
            out[i] = e[i].ch;
            break;
        }
    }
}

namespace {

// Builds the plain result text of a read-back number: leading zeros dropped
// (one kept before the point), no sign on zero.
std::string plainResult(bool negative, const std::string& digits) {
    size_t start = 0;
    while (start + 1 < digits.size() && digits[start] == '0' && digits[start + 1] != '.') ++start;
    std::string body = digits.substr(start);
    if (body.empty()) body = "0";
    if (body[0] == '.') body.insert(body.begin(), '0');
    bool nonZero = false;
    for (char c : body) nonZero = nonZero || (c >= '1' && c <= '9');
    if (negative && nonZero) body.insert(body.begin(), '-');
    return body;
}

}  // namespace

std::string deformatNumber(std::string_view text, const CompiledPicture& p) {
    std::string digits;
    digits.reserve(p.count + 1);
    bool negative = false;
    for (int i = 0; i < p.count; ++i) {
        const char c = static_cast<size_t>(i) < text.size() ? text[i] : ' ';
        const ElementRole role = p.elements[i].role;
        switch (role) {
        case ElementRole::Digit:
        case ElementRole::DigitOrFill:
        case ElementRole::Grouping:
        case ElementRole::Sign:
            if (isDigit(c) && role != ElementRole::Sign) {
                digits += c;
            } else if (c == ' ' && (role == ElementRole::Digit || role == ElementRole::DigitOrFill)) {
                digits += '0';
            } else if (c == '-' || c == '(') {
                negative = true;
            } else if (c == '+') {
                negative = false;
            }
            break;
        case ElementRole::DecimalPoint:
            digits += '.';
            break;
        default:
            break;
        }
    }
    if (p.kind == PicNumber && p.impliedDecimal && p.decimals > 0) {
        if (digits.size() < p.decimals) digits.insert(0, p.decimals - digits.size(), '0');
        digits.insert(digits.size() - p.decimals, 1, '.');
    }
    return plainResult(negative, digits);
}

std::string deformatScientific(std::string_view text, const CompiledPicture& p) {
    std::string number;
    bool negative = false;
    bool negativeExponent = false;
    std::string exponent;
    for (int i = 0; i < p.count; ++i) {
        const char c = static_cast<size_t>(i) < text.size() ? text[i] : ' ';
        switch (p.elements[i].role) {
        case ElementRole::Sign:
        case ElementRole::Digit:
        case ElementRole::Grouping:
            if (isDigit(c) && p.elements[i].role != ElementRole::Sign) {
                number += c;
            } else if (c == '-' || c == '(') {
                negative = true;
            } else if (c == '+') {
                negative = false;
            }
            break;
        case ElementRole::DecimalPoint:
            number += '.';
            break;
        case ElementRole::ExponentSign:
            negativeExponent = c == '-';
            break;
        case ElementRole::ExponentDigit:
            if (isDigit(c)) exponent += c;
            break;
        default:
            break;
        }
    }
    if (number.empty() || number == ".") return "0";
    if (number[0] == '.') number.insert(number.begin(), '0');
    if (!exponent.empty()) number += (negativeExponent ? "e-" : "e") + exponent;
    DecimalNumber value;
    if (!DecimalNumber::parse(number, value)) return "0";
    value.negative = negative && !value.isZero();
    return value.plainText();
}

}  // namespace varnok
