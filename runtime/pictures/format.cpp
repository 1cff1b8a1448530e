#include "runtime/pictures/format.h"

#include <cmath>
#include <cstring>

#include "runtime/pictures/date_time_format.h"
#include "runtime/pictures/decimal_number.h"
#include "runtime/pictures/number_format.h"

namespace varnok {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A standard date or time from a number: its integer part, or -1 (invalid
// for both) when it is not a 32-bit value.
int32_t standardNumber(double value) {
    if (!std::isfinite(value) || value >= 2147483648.0 || value <= -2147483649.0) return -1;
    return static_cast<int32_t>(std::trunc(value));
}

std::string leftAligned(std::string_view text, int width) {
    std::string out(static_cast<size_t>(width), ' ');
    if (!text.empty()) std::memcpy(out.data(), text.data(), text.size() < out.size() ? text.size() : out.size());
    return out;
}

// A text read as a number: exactly when it is written as one, else through
// the reduction rule; zero when nothing numeric is left.
DecimalNumber numberOf(std::string_view text) {
    DecimalNumber d;
    if (DecimalNumber::parse(text, d)) return d;
    if (DecimalNumber::parse(numberFromText(text), d)) return d;
    return DecimalNumber{};
}

std::string formatDecimal(DecimalNumber& value, const CompiledPicture& p) {
    switch (p.kind) {
    case PicNumber:
    case PicPattern: {
        std::string out(p.width, ' ');
        formatNumber(p, value, out.data());
        return out;
    }
    case PicScientific: {
        std::string out(p.width, ' ');
        formatScientific(p, value, out.data());
        return out;
    }
    case PicDate: return formatDate(p, standardNumber(value.toDouble()));
    case PicTime: return formatTime(p, standardNumber(value.toDouble()));
    case PicString:
    case PicKeyIn: return leftAligned(value.plainText(), p.width);
    case PicInvalid: break;
    }
    return std::string();
}

}  // namespace

std::string formatValue(double value, const CompiledPicture& p) {
    switch (p.kind) {
    case PicDate: return formatDate(p, standardNumber(value));
    case PicTime: return formatTime(p, standardNumber(value));
    case PicInvalid: return std::string();
    default: {
        DecimalNumber d = DecimalNumber::fromDouble(value);
        return formatDecimal(d, p);
    }
    }
}

std::string formatText(std::string_view value, const CompiledPicture& p) {
    if (p.kind == PicString || p.kind == PicKeyIn) return leftAligned(value, p.width);
    if (p.kind == PicInvalid) return std::string();
    DecimalNumber d = numberOf(value);
    return formatDecimal(d, p);
}

std::string deformatText(std::string_view text, const CompiledPicture& p) {
    switch (p.kind) {
    case PicNumber:
    case PicPattern: return deformatNumber(text, p);
    case PicScientific: return deformatScientific(text, p);
    case PicDate: return std::to_string(deformatDate(text, p));
    case PicTime: return std::to_string(deformatTime(text, p));
    case PicString:
    case PicKeyIn: return numberFromText(text.substr(0, p.width));
    case PicInvalid: break;
    }
    return std::string();
}

std::string FORMAT(double value, std::string_view picture) { return formatValue(value, compilePicture(picture)); }

std::string FORMAT(std::string_view value, std::string_view picture) {
    return formatText(value, compilePicture(picture));
}

std::string DEFORMAT(std::string_view text) { return numberFromText(text.substr(0, CompiledPicture::MaxWidth)); }

std::string DEFORMAT(std::string_view text, std::string_view picture) {
    return deformatText(text, compilePicture(picture));
}

std::string numberFromText(std::string_view text) {
    std::string out;
    bool point = false;
    bool exponent = false;
    bool digit = false;
    for (char c : text) {
        const char last = out.empty() ? '\0' : out.back();
        if (isDigit(c)) {
            out += c;
            digit = true;
        } else if (c == '.' && !point && !exponent) {
            out += c;
            point = true;
        } else if ((c == 'e' || c == 'E') && !exponent && digit) {
            out += c;
            exponent = true;
        } else if (c == '-' && (out.empty() || last == 'e' || last == 'E')) {
            out += c;
        } else if (c == '+' && (last == 'e' || last == 'E')) {
            out += c;
        }
    }
    // An exponent mark with no digits after it says nothing.
    while (!out.empty() && (out.back() == 'e' || out.back() == 'E' ||
                            ((out.back() == '-' || out.back() == '+') && exponent))) {
        const bool mark = out.back() == 'e' || out.back() == 'E';
        out.pop_back();
        if (mark) break;
    }
    return out;
}

}  // namespace varnok
