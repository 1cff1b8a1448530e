// Locale tables of the runtime: character classes and case pairs, the ANSI
// and OEM collating tables, month names, abbreviations and AM/PM texts,
// digraphs, runtime message overrides, a few flags, and the regional settings
// read from the default profile (section "intl").
//
// Life cycle: the tables start with built-in English defaults. The first call
// of any function here initialises them once for the whole process under one
// lock (a second thread waits for the first to finish): the regional settings
// are read, then the environment file beside the program is applied (see
// runtime/environment_file.h), then the ANSI collating table is installed as
// the queue's collation (runtime/collation.h). Later changes only come from
// applySetting.
//
// Character classes (bit values): ClassUpper 1, ClassLower 2, ClassDigit 4.
// Invariant: case pairs are symmetric: when caseTable()[c] == p != 0 then
// caseTable()[p] == c, and one of c and p is upper case, the other lower.
// The collating tables are permutations of 0..255.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnok {

enum CharacterClass : uint8_t { ClassOther = 0, ClassUpper = 1, ClassLower = 2, ClassDigit = 4 };

// Runtime message numbers of the button captions: ORVBUTTON's k-th item
// (counted from 1) replaces message ButtonCaptionBase + k.
constexpr int32_t ButtonCaptionBase = 0x7F00;

// Longest texts the tables hold.
constexpr size_t MonthNameLength = 12;
constexpr size_t MonthAbbreviationLength = 3;
constexpr size_t AmPmLength = 2;
constexpr size_t MaxDigraphs = 16;

// Values of the "intl" section of the default profile, with their defaults.
struct RegionalSettings {
    int iTime = 0;        // 0: 12-hour clock
    int iTLzero = 1;      // 1: hours show their leading zero
    char sTime = ':';     // time separator
    std::string s1159 = "AM";  // at most 2 characters
    std::string s2359 = "PM";  // at most 2 characters
    std::string sShortDate = "MM/dd/yy";
    std::string sLongDate = "ddd', 'MMMM' 'dd', 'yyyy";
};

// Runs the one-time initialisation if it has not run yet.
void initialiseLocale();

// Character tests and case mapping through the tables. A character without
// a case partner maps to itself.
uint8_t upperCase(uint8_t c);
uint8_t lowerCase(uint8_t c);
bool isLetter(uint8_t c);         // has a case partner
bool isLetterOrDigit(uint8_t c);  // class not 0
bool isDigitCharacter(uint8_t c);
std::string upperCase(std::string_view text);
std::string lowerCase(std::string_view text);
// Rank of a character in the ANSI and the OEM collating sequence.
uint8_t collationRank(uint8_t c);
uint8_t oemCollationRank(uint8_t c);

// The 256-entry tables (valid until the next applySetting).
const uint8_t* characterClassTable();
const uint8_t* caseTable();
const uint8_t* ansiCollationTable();
const uint8_t* oemCollationTable();

// Month texts, month 1..12 (an empty text outside that range), and AM/PM.
std::string monthName(int month);
std::string monthAbbreviation(int month);
std::string amText();
std::string pmText();
// Advanced each time the month names or abbreviations (resp. the AM/PM
// texts) are replaced; tables built from them compare to see they are stale.
uint32_t monthNamesChangeCount();
uint32_t amPmChangeCount();

// Digraph entries of three characters, as given and in the OEM set. An
// entry names a character (its first) and the two characters it stands for
// when texts are ordered, e.g. "\xC6" "AE" lets the AE ligature sort as "AE".
std::vector<std::string> digraphs();
std::vector<std::string> oemDigraphs();
// The text with every digraph character replaced by its two characters, for
// callers that build sort keys. The queue's own comparison works character
// by character through the collating table and does not expand digraphs.
std::string expandDigraphs(std::string_view text);

// The text that replaces a runtime message (button captions included), if
// the environment file gave one.
std::optional<std::string> messageOverride(int32_t number);
// The override when there is one, else the built-in text.
std::string runtimeMessage(int32_t number, std::string_view builtIn);

bool oemCharacterSet();     // the environment file's text is OEM
bool longFileNames();       // ORVLFN=on
bool rightToLeftLayout();   // ORVLAYOUT=RTL
std::string systemCharacterSet();  // ORVSYSTEMCHARSET, for the window layer

// The regional settings as read at initialisation.
RegionalSettings regionalSettings();

// Applies one environment setting. The key is matched without regard to
// case; the value is the line's value after escapes (see
// runtime/environment_file.h). Unknown keys are ignored.
void applySetting(std::string_view key, std::string_view value);

// Tests: puts every table back to its built-in default and marks the locale
// initialised without reading the profile or an environment file.
void resetLocaleToDefaults();
// Tests: defaults, then the regional settings, then the given environment
// file (none when empty), then the collation is installed.
void reinitialiseLocale(const std::string& environmentFile);

}  // namespace varnok
