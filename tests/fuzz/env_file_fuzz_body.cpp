// Fuzz body for the environment-file reader, shared by the libFuzzer target
// and the corpus replay test. Any input must leave the locale tables in a
// consistent state; a broken invariant aborts with a message.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <string_view>

#include "runtime/locale/collation.h"
#include "runtime/locale/environment_file.h"
#include "runtime/locale/locale.h"

namespace {

void require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "environment file fuzz: %s\n", what);
    std::abort();
}

void checkTables() {
    const uint8_t* classes = varnok::characterClassTable();
    const uint8_t* cases = varnok::caseTable();
    for (int c = 0; c < 256; ++c) {
        if (cases[c]) {
            require(cases[cases[c]] == c, "case pairs are symmetric");
            require(classes[c] == varnok::ClassUpper || classes[c] == varnok::ClassLower,
                    "a paired character is a letter");
            require(classes[c] != classes[cases[c]], "a pair joins an upper and a lower letter");
        }
        require(c == 0 || varnok::upperCase(uint8_t(c)) != 0, "no character turns into 0");
        require(c == 0 || varnok::lowerCase(uint8_t(c)) != 0, "no character turns into 0");
    }
    for (const uint8_t* table : {varnok::ansiCollationTable(), varnok::oemCollationTable()}) {
        bool seen[256] = {};
        for (int c = 0; c < 256; ++c) {
            require(!seen[table[c]], "collating table is a permutation");
            seen[table[c]] = true;
        }
    }
    const uint8_t* installed = varnok::collationTable();
    const uint8_t* ansi = varnok::ansiCollationTable();
    for (int c = 0; c < 256; ++c) require(installed[c] == ansi[c], "the queue compares by the ANSI table");
    for (int m = 1; m <= 12; ++m) {
        require(!varnok::monthName(m).empty() && varnok::monthName(m).size() <= varnok::MonthNameLength,
                "month name length");
        require(!varnok::monthAbbreviation(m).empty() &&
                    varnok::monthAbbreviation(m).size() <= varnok::MonthAbbreviationLength,
                "abbreviation length");
    }
    require(varnok::amText().size() <= varnok::AmPmLength && varnok::pmText().size() <= varnok::AmPmLength,
            "AM/PM length");
    auto digraphs = varnok::digraphs();
    auto oem = varnok::oemDigraphs();
    require(digraphs.size() <= varnok::MaxDigraphs && digraphs.size() == oem.size(), "digraph count");
    for (const std::string& d : digraphs) require(d.size() == 3, "digraph length");
    require(!varnok::oemCharacterSet(), "the OEM flag is put back after the file");
}

// Quoting the items of a value and splitting again gives the same items.
void checkListRoundTrip(std::string_view value) {
    std::vector<std::string> items = varnok::splitListItems(value);
    std::string quoted;
    for (size_t i = 0; i < items.size(); ++i) {
        quoted += i ? "," : "";
        quoted += '"';
        for (char c : items[i]) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        quoted += '"';
    }
    require(varnok::splitListItems(quoted) == items, "quoted items split back to themselves");
    require(varnok::expandEscapes(value).size() <= value.size(), "escapes never lengthen a value");
}

// Everything the settings can change.
std::string snapshot() {
    std::string s;
    for (int m = 1; m <= 12; ++m) s += varnok::monthName(m) + "|" + varnok::monthAbbreviation(m) + "|";
    s += varnok::amText() + "|" + varnok::pmText() + "|" + varnok::systemCharacterSet() + "|";
    s.append(reinterpret_cast<const char*>(varnok::caseTable()), 256);
    s.append(reinterpret_cast<const char*>(varnok::characterClassTable()), 256);
    s.append(reinterpret_cast<const char*>(varnok::ansiCollationTable()), 256);
    s.append(reinterpret_cast<const char*>(varnok::oemCollationTable()), 256);
    for (int n = 0; n < 40; ++n) s += varnok::messageOverride(n).value_or("-") + "|";
    for (int k = 1; k <= 8; ++k) s += varnok::messageOverride(varnok::ButtonCaptionBase + k).value_or("-") + "|";
    for (const std::string& d : varnok::digraphs()) s += d;
    s += varnok::longFileNames() ? "L" : "l";
    s += varnok::rightToLeftLayout() ? "R" : "r";
    return s;
}

}  // namespace

void fuzzEnvironmentFile(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    varnok::resetLocaleToDefaults();
    varnok::readEnvironmentText(text);
    checkTables();
    // Reading the same bytes in pieces, as from a file, gives the same state.
    const std::string fromText = snapshot();
    varnok::resetLocaleToDefaults();
    std::istringstream stream{std::string(text)};
    varnok::readEnvironmentStream(stream);
    require(snapshot() == fromText, "reading in pieces agrees with reading the whole text");
    size_t eq = text.find('=');
    checkListRoundTrip(text.substr(eq == std::string_view::npos ? 0 : eq + 1, 2048));
}
