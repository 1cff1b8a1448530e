// OptionChecker: reads a driver string ("/FILEBUFFERS=4 /CLIP=OFF") into the
// fields of an option record, reports malformed switches, and writes the
// fields back as a driver string. The switches a driver understands are
// declared once; they live in a queue sorted by NAME (the switch table).
//
// Reading, switch by switch (a switch starts with the marker "/" and runs to
// the next marker outside apostrophes, or to the end):
//   - the name is looked up without regard to case; unknown names report
//     "Poorly formed driver string.  <switch> is not a valid switch";
//   - a switch without a value after "=" reports "... has no value"; a
//     two-value switch without its second value "... has missing value";
//   - a flag takes its TRUEVALUE or FALSEVALUE (any case); another word
//     reports "<name> has an incorrect value of <value>.  Value ignored";
//   - numbers are read as decimal (a value without digits reads as 0) and
//     kept within the field's range; text loses enclosing apostrophes, a
//     doubled apostrophe inside becomes one, and it is cut to its maximum.
// Reports go through the message box seam with an empty caption; reading
// then goes on with the next switch and the field keeps its value.
//
// Writing: every switch in declaration order whose field does not hold its
// EMPTYVALUE (the "not given" value), as "/NAME=value" separated by spaces;
// text holding an apostrophe, a blank or the marker (and the comma, for a
// two-value switch), and empty text, is enclosed in apostrophes with inner
// apostrophes doubled, so that reading it back gives the same fields.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/queue/queue.h"
#include "runtime/records/record_layout.h"

namespace varnok::textfile {

enum class SwitchKind : uint8_t {
    Flag = 1,    // a byte: 1 for TRUEVALUE, 0 for FALSEVALUE
    Short = 2,   // a 16-bit number
    Long = 3,    // a 32-bit number
    Text = 4,    // text of at most maxLength characters
};

struct SwitchDef {
    std::string name;                // the switch word, e.g. "CLIP"
    SwitchKind kind = SwitchKind::Flag;
    int destination = 0;             // 1-based field of the option record
    std::string trueValue = "ON";
    std::string falseValue = "OFF";
    std::string defaultValue;        // the field's start value, as text
    std::string emptyValue;          // a field holding this is not written
    uint16_t maxLength = 0;          // Text: at most this many characters
    // A second value after a comma: a number for Short/Long/Flag switches,
    // text for Text switches; stored into destination2 when non-zero.
    bool twoValues = false;
    int destination2 = 0;
};

class OptionChecker {
public:
    // The option record is the program's; it must outlive the checker.
    OptionChecker(const RecordLayout& optionLayout, uint8_t* optionRecord, char marker = '/');
    OptionChecker(const OptionChecker&) = delete;
    OptionChecker& operator=(const OptionChecker&) = delete;

    // Adds a switch to the table (a name already declared replaces nothing
    // and returns false) and puts its start value into its field.
    bool declare(const SwitchDef& def);

    // Puts every field back to its start value, then reads the string.
    // Returns the number of switches whose values were taken.
    int read(std::string_view driverString);
    // The fields as a driver string.
    std::string write();

    // The switch table (sorted by NAME); TOKENQ, the switches the last read
    // took (fields NAME and VALUE, in string order); LASTTOKEN, the text of
    // the last switch read; MARKER, the character that starts a switch.
    QueueDecl* switchTable() { return switches_; }
    QueueDecl* TOKENQ() { return tokens_; }
    const std::string& LASTTOKEN() const { return lastToken_; }
    char MARKER() const { return marker_; }

    // A field's value as text: flags and numbers in decimal, text as it is.
    std::string fieldText(int field) const;
    // Sets a field from text in the same form; false for an unknown field.
    bool setFieldText(int field, std::string_view text);

private:
    struct Entry;  // one switch table record, decoded
    bool find(std::string_view name, Entry& entry);
    Entry decode() const;
    void readSwitch(std::string_view token);
    std::string valueForWrite(const Entry& e) const;

    const RecordLayout& layout_;
    uint8_t* record_;
    char marker_;
    Queue switches_;
    Queue tokens_;
    std::string lastToken_;
    int declared_ = 0;
};

// Removes enclosing apostrophes and undoubles the inner ones; other text is
// returned as it is.
std::string unquoteValue(std::string_view value);
// Encloses text in apostrophes (doubling inner ones) when it is empty or
// holds an apostrophe, a blank, the marker or (commaToo) a comma; else
// returns it as it is.
std::string quoteValue(std::string_view text, char marker = '/', bool commaToo = false);

}  // namespace varnok::textfile
