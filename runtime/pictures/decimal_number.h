// A number as a decimal digit string, the form pictures format from: the
// value is 0.d1 d2 ... dn times 10^exponent, with d1 != 0 and no trailing
// zero digit; n == 0 is zero. Doubles convert through their shortest
// round-trip decimal form, so 2.675 is the digits 2675 and rounds half-up to
// 2.68 as a reader of the value would expect.
#pragma once
#include <string>
#include <string_view>

namespace varnok {

struct DecimalNumber {
    // Significant digits kept; pictures are at most 255 wide, so digits past
    // this can never be shown or decide a rounding.
    static constexpr int MaxDigits = 300;
    // Exponents are held within this bound: anything larger overflows every
    // picture, anything smaller rounds to zero.
    static constexpr int MaxExponent = 100000;

    bool negative = false;
    bool finite = true;  // false for infinities and NaN: shown as overflow
    int count = 0;       // digits in use
    int exponent = 0;
    char digits[MaxDigits];  // '0'..'9', left uninitialised past `count`

    static DecimalNumber fromDouble(double value);
    // Strict number syntax: optional blanks, optional sign, digits with at
    // most one '.', optional exponent (e or E, optional sign, digits),
    // optional blanks. At least one digit before the exponent. False on
    // anything else.
    static bool parse(std::string_view text, DecimalNumber& out);

    bool isZero() const { return count == 0; }
    // Digits before the decimal point (0 for a value below 1).
    int integerDigits() const { return count == 0 || exponent < 0 ? 0 : exponent; }
    // The digit worth 10^place ('0' where the value has none).
    char digitAt(int place) const {
        const int index = exponent - 1 - place;
        return index >= 0 && index < count ? digits[index] : '0';
    }
    // Rounds half-up to `decimals` digits after the point: a first dropped
    // digit of 5 or more increments the kept digits, carrying as far as
    // needed. A value that rounds to zero loses its sign.
    void roundToDecimals(int decimals);
    // Rounds half-up to `significant` digits (at least 1).
    void roundToSignificant(int significant);
    // Plain decimal text: digits with a '.' when there is a fraction, '-'
    // when negative, "0" for zero, no exponent.
    std::string plainText() const;
    double toDouble() const;

private:
    void roundAt(int kept);
    void trim();
};

}  // namespace varnok
