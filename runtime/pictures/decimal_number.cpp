#include "runtime/pictures/decimal_number.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace varnok {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int clampExponent(long long e) {
    if (e > DecimalNumber::MaxExponent) return DecimalNumber::MaxExponent;
    if (e < -DecimalNumber::MaxExponent) return -DecimalNumber::MaxExponent;
    return static_cast<int>(e);
}

}  // namespace

DecimalNumber DecimalNumber::fromDouble(double value) {
    DecimalNumber d;
    d.negative = std::signbit(value) && !std::isnan(value);
    if (!std::isfinite(value)) {
        d.finite = false;
        return d;
    }
    if (value == 0) {
        d.negative = false;
        return d;
    }
    // Shortest round-trip form, e.g. "-1.2345e+06": at most 17 digits.
    char text[40];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    const char* p = text;
    const char* end = result.ptr;
    if (*p == '-') ++p;
    while (p < end && *p != 'e') {
        if (isDigit(*p)) d.digits[d.count++] = *p;
        ++p;
    }
    int e = 0;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, e);
    d.exponent = e + 1;  // d1.d2... x 10^e == 0.d1d2... x 10^(e+1)
    d.trim();
    return d;
}

bool DecimalNumber::parse(std::string_view text, DecimalNumber& out) {
    out = DecimalNumber{};
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < n && (text[i] == '-' || text[i] == '+')) out.negative = text[i++] == '-';
    long long pointPosition = 0;  // mantissa digits kept before the '.', leading zeros excluded
    bool seenPoint = false;
    bool anyDigit = false;
    for (; i < n; ++i) {
        const char c = text[i];
        if (c == '.') {
            if (seenPoint) return false;
            seenPoint = true;
            continue;
        }
        if (!isDigit(c)) break;
        anyDigit = true;
        if (c == '0' && out.count == 0) {
            if (seenPoint) --pointPosition;  // 0.00d: the point moves right of the zeros
            continue;
        }
        if (out.count < MaxDigits) out.digits[out.count++] = c;
        if (!seenPoint && pointPosition < 4LL * MaxExponent) ++pointPosition;
    }
    if (!anyDigit) return false;
    long long exponent = 0;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '-' || text[i] == '+')) negativeExponent = text[i++] == '-';
        if (i >= n || !isDigit(text[i])) return false;
        for (; i < n && isDigit(text[i]); ++i) {
            if (exponent < 4LL * MaxExponent) exponent = exponent * 10 + (text[i] - '0');
        }
        if (negativeExponent) exponent = -exponent;
    }
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i != n) return false;
    out.exponent = clampExponent(pointPosition + exponent);
    out.trim();
    return true;
}

void DecimalNumber::trim() {
    while (count > 0 && digits[count - 1] == '0') --count;
    if (count == 0) {
        negative = false;
        exponent = 0;
    }
}

void DecimalNumber::roundAt(int kept) {
    if (!finite || kept >= count) return;
    if (kept < 0 || (kept == 0 && digits[0] < '5')) {
        count = 0;
        trim();
        return;
    }
    const bool up = digits[kept] >= '5';
    count = kept;
    if (up) {
        int i = kept - 1;
        while (i >= 0 && digits[i] == '9') --i;
        if (i < 0) {
            // 0.999.. rounds to 1.000..: one digit more in front.
            digits[0] = '1';
            count = 1;
            exponent = clampExponent(static_cast<long long>(exponent) + 1);
        } else {
            ++digits[i];
            count = i + 1;
        }
    }
    trim();
}

void DecimalNumber::roundToDecimals(int decimals) {
    if (count == 0) return;
    const long long kept = static_cast<long long>(exponent) + decimals;
    roundAt(kept < -1 ? -1 : kept > MaxDigits ? MaxDigits : static_cast<int>(kept));
}

void DecimalNumber::roundToSignificant(int significant) { roundAt(significant < 1 ? 1 : significant); }

std::string DecimalNumber::plainText() const {
    std::string s;
    if (count == 0) return "0";
    if (negative) s += '-';
    if (exponent <= 0) {
        s += "0.";
        s.append(static_cast<size_t>(-exponent), '0');
        s.append(digits, static_cast<size_t>(count));
        return s;
    }
    for (int i = 0; i < exponent; ++i) s += i < count ? digits[i] : '0';
    if (count > exponent) {
        s += '.';
        s.append(digits + exponent, static_cast<size_t>(count - exponent));
    }
    return s;
}

double DecimalNumber::toDouble() const {
    if (!finite) return negative ? -HUGE_VAL : HUGE_VAL;
    if (count == 0) return 0.0;
    char text[MaxDigits + 32];
    int n = 0;
    text[n++] = '0';
    text[n++] = '.';
    for (int i = 0; i < count; ++i) text[n++] = digits[i];
    std::snprintf(text + n, sizeof text - n, "e%d", exponent);
    const double value = std::strtod(text, nullptr);  // overflow gives HUGE_VAL
    return negative ? -value : value;
}

}  // namespace varnok
