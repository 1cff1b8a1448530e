// Pictures: short format texts such as "@s64", "@n-15.2" or "@d06" that fix
// how one value is shown as text and read back.
//
// A picture text compiles once into a CompiledPicture: a fixed-size
// description (kind, width, fill, grouping, decimals) plus an element list
// that lays the result out position by position. Formatting and reading back
// walk that list; neither allocates beyond the result text.
//
// Invariants of a compiled picture whose kind is not PicInvalid:
// - 1 <= width <= 255;
// - count == width for every kind but strings, which need no element list;
//   in dates a run of month-name positions stands for a name of varying
//   length, so the text moves left or right of the positions after it;
// - for numbers: integerPositions == digits + groupingPositions and the
//   integer positions are elements [integerBegin, integerEnd).
#pragma once
#include <cstdint>
#include <string_view>

namespace varnok {

// The internal codes 0 to 7, in this order.
enum PictureKind : uint8_t {
    PicNumber = 0,      // @n
    PicScientific = 1,  // @e
    PicTime = 2,        // @t
    PicDate = 3,        // @d
    PicString = 4,      // @s
    PicKeyIn = 5,       // @k ... k
    PicPattern = 6,     // @p ... p
    PicInvalid = 7,     // a picture that failed to compile
};

// The type of a temporary that holds a value of the picture.
enum class PictureStorage : uint8_t {
    None,     // invalid picture
    Long,     // 32-bit signed integer: dates, times
    String,   // a string of the picture's width: strings, key-in
    Decimal,  // packed decimal of storageDigits digits and `decimals` decimals
    Real,     // floating point: scientific
};

// What one position of the result holds.
enum class ElementRole : uint8_t {
    Digit,           // digit always shown (leading zero shows as 0)
    DigitOrFill,     // digit whose leading zero shows as the fill character or blank
    Grouping,        // grouping character between digits; may hold a digit on overflow
    DecimalPoint,    // ch: the decimal character
    Sign,            // ch: '-', '(' or ')'
    Literal,         // currency text or literal character, shown as ch
    Separator,       // date/time separator, replaced by the separator override
    Month,           // ch 'M': leading zero suppressed, 'm': shown
    Day,             // ch 'D' / 'd' likewise
    Year,            // one position of a run of year digits
    MonthName,       // ch 'N': abbreviation in capitals, 'n': abbreviation as stored,
                     // 'F': full name as stored
    Hours,           // ch 'H': leading zero suppressed, 'h': shown
    Minutes,
    Seconds,
    AmPm,
    ExponentLetter,  // 'E'
    ExponentSign,
    ExponentDigit,
    Letter,          // key-in '@': letter of either case or blank
    UpperLetter,     // key-in '^'
    LowerLetter,     // key-in '_'
    AnyCharacter,    // key-in '?'
    StopMark,        // key-in '|'
};

struct PictureElement {
    ElementRole role;
    char ch;
};
static_assert(sizeof(PictureElement) == 2);

// Which table a date or time picture number is looked up in.
enum class PictureDialect : uint8_t {
    General,     // FORMAT and DEFORMAT: dates 1..18, times 1..8
    EntryField,  // entry fields: dates 1..20, their own layouts of some entries
};

// Layout (bytes):   kind storage width count fill grouping decimalChar ...
//                   then the element list, two bytes per position.
struct CompiledPicture {
    static constexpr int MaxWidth = 255;

    PictureKind kind = PicInvalid;
    PictureStorage storage = PictureStorage::None;
    uint8_t width = 0;             // characters of every formatted result
    uint8_t count = 0;             // elements in use
    char fill = 0;                 // 0 (none), '0', ' ' or '*'
    char grouping = 0;             // 0 (none), ',', '.' or ' '
    char decimalChar = 0;          // '.', ',', ' '; 0 when implied or no decimals
    bool impliedDecimal = false;   // `v`: no character, one more integer digit
    uint8_t integerPositions = 0;  // grouping positions included
    uint8_t digits = 0;            // integerPositions less grouping positions
    uint8_t groupingPositions = 0;
    uint8_t decimals = 0;
    uint8_t storageDigits = 0;     // packed decimal size, at most 31
    uint8_t integerBegin = 0;      // numbers and scientific: first integer position
    uint8_t integerEnd = 0;        // one past the last integer position
    uint8_t mantissaDigits = 0;    // scientific: digits before the decimal character
    uint8_t fractionDigits = 0;    // scientific: digits after it
    bool blankWhenZero = false;
    bool isSigned = false;         // has a sign position
    uint8_t pictureNumber = 0;     // dates 1..20, times 1..8
    uint8_t centuryWindow = 80;    // dates: years back a two-digit year may reach
    char separator = 0;            // dates, times: override of every separator, 0 none
    bool regionalAmPm = false;     // times 7 and 8: AM/PM texts of the regional settings
    PictureElement elements[MaxWidth];  // left uninitialised past `count`

    bool valid() const { return kind != PicInvalid; }
};

// Compiles a picture text for FORMAT and DEFORMAT. An invalid text gives kind
// PicInvalid. The leading '@' may be omitted; trailing blanks are ignored.
CompiledPicture compilePicture(std::string_view text);
// The same grammar with the entry fields' variant tables and rules.
CompiledPicture compileEntryPicture(std::string_view text);
CompiledPicture compilePicture(std::string_view text, PictureDialect dialect);

}  // namespace varnok
