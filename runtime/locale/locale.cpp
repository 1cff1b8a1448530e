#include "runtime/locale/locale.h"

#include <array>
#include <atomic>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/ascii_text.h"
#include "platform/codepage.h"
#include "platform/module_path.h"
#include "platform/profile.h"
#include "runtime/locale/collating_sequence.h"
#include "runtime/locale/collation.h"
#include "runtime/locale/environment_file.h"

namespace varnok {

namespace {

const char* const kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                     "July",    "August",   "September", "October", "November", "December"};

struct LocaleTables {
    uint8_t classes[256];
    uint8_t cases[256];
    uint8_t ansiCollation[256];
    uint8_t oemCollation[256];
    std::array<std::string, 12> months;
    std::array<std::string, 12> abbreviations;
    std::string am = "AM";
    std::string pm = "PM";
    std::vector<std::string> digraphs;
    std::vector<std::string> oemDigraphs;
    std::map<int32_t, std::string> messages;
    bool oem = false;
    bool longFileNames = false;
    bool rightToLeft = false;
    std::string systemCharset;
    RegionalSettings regional;

    LocaleTables() { reset(); }

    void resetCase() {
        for (int c = 0; c < 256; ++c) {
            classes[c] = ClassOther;
            cases[c] = 0;
        }
        for (int c = 'A'; c <= 'Z'; ++c) {
            classes[c] = ClassUpper;
            classes[c + 32] = ClassLower;
            cases[c] = uint8_t(c + 32);
            cases[c + 32] = uint8_t(c);
        }
        for (int c = '0'; c <= '9'; ++c) classes[c] = ClassDigit;
    }

    void reset() {
        resetCase();
        identityCollation(ansiCollation);
        identityCollation(oemCollation);
        for (int m = 0; m < 12; ++m) {
            months[size_t(m)] = kMonthNames[m];
            abbreviations[size_t(m)] = std::string(kMonthNames[m], 3);
        }
        am = "AM";
        pm = "PM";
        digraphs.clear();
        oemDigraphs.clear();
        messages.clear();
        oem = false;
        longFileNames = false;
        rightToLeft = false;
        systemCharset.clear();
        regional = RegionalSettings{};
    }
};

LocaleTables& tables() {
    static LocaleTables t;
    return t;
}

std::mutex& initLock() {
    static std::mutex lock;
    return lock;
}

std::atomic<bool> initialised{false};
// Set on the thread that fills the tables: applying the environment file goes
// through the public functions, which must not start the initialisation
// again, while other threads keep waiting on the lock until it is done.
thread_local bool initialisingHere = false;
std::atomic<uint32_t> monthChanges{0};
std::atomic<uint32_t> amPmChanges{0};

constexpr auto sameText = platform::sameAsciiText;

bool startsWithText(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameText(text.substr(0, prefix.size()), prefix);
}

std::string cut(std::string_view text, size_t length) { return std::string(text.substr(0, length)); }

void readRegionalSettings(RegionalSettings& r) {
    const RegionalSettings defaults;
    auto text = [](const char* key, const std::string& fallback) {
        std::string value = platform::getProfileString("intl", key, fallback);
        return value.empty() ? fallback : value;
    };
    r.iTime = platform::getProfileInt("intl", "iTime", defaults.iTime);
    r.iTLzero = platform::getProfileInt("intl", "iTLzero", defaults.iTLzero);
    r.sTime = text("sTime", std::string(1, defaults.sTime))[0];
    r.s1159 = cut(text("s1159", defaults.s1159), AmPmLength);
    r.s2359 = cut(text("s2359", defaults.s2359), AmPmLength);
    r.sShortDate = text("sShortDate", defaults.sShortDate);
    r.sLongDate = text("sLongDate", defaults.sLongDate);
}

void installCollation() { setCollationTable(tables().ansiCollation); }

// The case pairs of the characters 128 to 255 from the Windows-1252 letters.
void windowsCasePairs(LocaleTables& t) {
    for (int code = 128; code < 256; ++code) {
        uint8_t c = uint8_t(code);
        if (platform::isAnsiUpper(c)) {
            t.classes[c] = ClassUpper;
            if (platform::ansiToLower(c) != c) t.cases[c] = platform::ansiToLower(c);
        } else if (platform::isAnsiLower(c)) {
            t.classes[c] = ClassLower;
            if (platform::ansiToUpper(c) != c) t.cases[c] = platform::ansiToUpper(c);
        }
    }
}

void applyCase(LocaleTables& t, const std::vector<std::string>& items, std::string_view value) {
    if (value.empty()) {
        t.resetCase();
        return;
    }
    for (int c = 128; c < 256; ++c) {
        t.classes[c] = ClassOther;
        t.cases[c] = 0;
    }
    if (items.size() < 2 || items[0].size() != items[1].size() || sameText(items[0], "WINDOWS")) {
        windowsCasePairs(t);
        return;
    }
    for (size_t k = 0; k < items[0].size(); ++k) {
        uint8_t upper = uint8_t(items[0][k]);
        uint8_t lower = uint8_t(items[1][k]);
        // A character already paired keeps its first partner, so that the
        // pairs stay symmetric.
        if (upper < 128 || lower < 128 || upper == lower || t.cases[upper] || t.cases[lower]) continue;
        t.classes[upper] = ClassUpper;
        t.classes[lower] = ClassLower;
        t.cases[upper] = lower;
        t.cases[lower] = upper;
    }
}

void applyCollatingSequence(LocaleTables& t, std::string_view value) {
    identityCollation(t.ansiCollation);
    identityCollation(t.oemCollation);
    if (!value.empty()) {
        std::string sequence = sameText(value, "WINDOWS") ? windowsCollatingSequence() : std::string(value);
        collationFromSequence(sequence, t.ansiCollation);
        collationFromSequence(platform::ansiToOem(sequence), t.oemCollation);
    }
    installCollation();
}

// Parses the number after "ORVMSG"; false when it is not all digits or
// does not fit.
bool messageNumber(std::string_view digits, int32_t& number) {
    if (digits.empty() || digits.size() > 9) return false;
    number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        number = number * 10 + (c - '0');
    }
    return true;
}

void applyUnlocked(std::string_view key, std::string_view rawValue) {
    LocaleTables& t = tables();
    if (sameText(key, "ORVCOLSEQ")) {
        applyCollatingSequence(t, rawValue);
        return;
    }
    const std::string value = t.oem ? platform::oemToAnsi(rawValue) : std::string(rawValue);
    if (startsWithText(key, "ORVMSG")) {
        int32_t number;
        if (messageNumber(key.substr(6), number)) t.messages[number] = value;
        return;
    }
    const std::vector<std::string> items = splitListItems(value);
    auto first = [&]() -> std::string_view { return items.empty() ? std::string_view() : items[0]; };
    if (sameText(key, "ORVCHARSET")) {
        t.oem = sameText(first(), "OEM");
    } else if (sameText(key, "ORVCASE")) {
        applyCase(t, items, value);
    } else if (sameText(key, "ORVMONTH") || sameText(key, "ORVMON")) {
        const bool full = key.size() == 8;
        auto& slots = full ? t.months : t.abbreviations;
        bool changed = false;
        for (size_t m = 0; m < items.size() && m < 12; ++m) {
            // An empty item keeps the month's current text.
            if (items[m].empty()) continue;
            slots[m] = cut(items[m], full ? MonthNameLength : MonthAbbreviationLength);
            changed = true;
        }
        if (changed) monthChanges.fetch_add(1, std::memory_order_acq_rel);
    } else if (sameText(key, "ORVAMPM")) {
        if (sameText(first(), "WINDOWS")) {
            t.am = t.regional.s1159;
            t.pm = t.regional.s2359;
        } else {
            if (items.size() > 0 && !items[0].empty()) t.am = cut(items[0], AmPmLength);
            if (items.size() > 1 && !items[1].empty()) t.pm = cut(items[1], AmPmLength);
        }
        amPmChanges.fetch_add(1, std::memory_order_acq_rel);
    } else if (sameText(key, "ORVDIGRAPH")) {
        t.digraphs.clear();
        t.oemDigraphs.clear();
        for (const std::string& item : items) {
            if (item.size() != 3) continue;
            if (t.digraphs.size() == MaxDigraphs) break;
            t.digraphs.push_back(item);
            t.oemDigraphs.push_back(platform::ansiToOem(item));
        }
    } else if (sameText(key, "ORVBUTTON")) {
        for (size_t k = 0; k < items.size() && k < 255; ++k)
            if (!items[k].empty()) t.messages[ButtonCaptionBase + int32_t(k) + 1] = items[k];
    } else if (sameText(key, "ORVLFN")) {
        t.longFileNames = sameText(first(), "on");
    } else if (sameText(key, "ORVSYSTEMCHARSET")) {
        t.systemCharset = std::string(first());
    } else if (sameText(key, "ORVLAYOUT")) {
        t.rightToLeft = sameText(first(), "RTL");
    }
}

// Fills the tables; the caller holds the initialisation lock.
void initialiseUnlocked(const std::string* environmentFile) {
    LocaleTables& t = tables();
    t.reset();
    readRegionalSettings(t.regional);
    initialisingHere = true;
    std::string path = environmentFile ? *environmentFile : environmentFilePath(platform::modulePath());
    if (!path.empty()) readEnvironmentFile(path);
    initialisingHere = false;
    installCollation();
    initialised.store(true, std::memory_order_release);
}

inline LocaleTables& ready() {
    if (!initialised.load(std::memory_order_acquire) && !initialisingHere) initialiseLocale();
    return tables();
}

}  // namespace

void initialiseLocale() {
    if (initialised.load(std::memory_order_acquire)) return;
    std::lock_guard guard(initLock());
    if (initialised.load(std::memory_order_relaxed)) return;
    initialiseUnlocked(nullptr);
}

void resetLocaleToDefaults() {
    std::lock_guard guard(initLock());
    tables().reset();
    initialised.store(true, std::memory_order_release);
    installCollation();
}

void reinitialiseLocale(const std::string& environmentFile) {
    std::lock_guard guard(initLock());
    std::string none;
    initialiseUnlocked(environmentFile.empty() ? &none : &environmentFile);
}

void applySetting(std::string_view key, std::string_view value) {
    ready();
    applyUnlocked(key, value);
}

uint8_t upperCase(uint8_t c) {
    const LocaleTables& t = ready();
    return t.classes[c] == ClassLower && t.cases[c] ? t.cases[c] : c;
}

uint8_t lowerCase(uint8_t c) {
    const LocaleTables& t = ready();
    return t.classes[c] == ClassUpper && t.cases[c] ? t.cases[c] : c;
}

bool isLetter(uint8_t c) { return ready().cases[c] != 0; }
bool isLetterOrDigit(uint8_t c) { return ready().classes[c] != ClassOther; }
bool isDigitCharacter(uint8_t c) { return ready().classes[c] == ClassDigit; }

namespace {
// Maps every character of a text to its partner when it has the given class;
// the tables are looked up once for the whole text.
std::string mapCase(std::string_view text, uint8_t fromClass) {
    const LocaleTables& t = ready();
    std::string out(text);
    for (char& ch : out) {
        const uint8_t c = uint8_t(ch);
        if (t.classes[c] == fromClass && t.cases[c]) ch = char(t.cases[c]);
    }
    return out;
}
}  // namespace

std::string upperCase(std::string_view text) { return mapCase(text, ClassLower); }
std::string lowerCase(std::string_view text) { return mapCase(text, ClassUpper); }

uint8_t collationRank(uint8_t c) { return ready().ansiCollation[c]; }
uint8_t oemCollationRank(uint8_t c) { return ready().oemCollation[c]; }

const uint8_t* characterClassTable() { return ready().classes; }
const uint8_t* caseTable() { return ready().cases; }
const uint8_t* ansiCollationTable() { return ready().ansiCollation; }
const uint8_t* oemCollationTable() { return ready().oemCollation; }

std::string monthName(int month) { return month >= 1 && month <= 12 ? ready().months[size_t(month - 1)] : ""; }

std::string monthAbbreviation(int month) {
    return month >= 1 && month <= 12 ? ready().abbreviations[size_t(month - 1)] : "";
}

std::string amText() { return ready().am; }
std::string pmText() { return ready().pm; }
uint32_t monthNamesChangeCount() { return monthChanges.load(std::memory_order_acquire); }
uint32_t amPmChangeCount() { return amPmChanges.load(std::memory_order_acquire); }

std::vector<std::string> digraphs() { return ready().digraphs; }
std::vector<std::string> oemDigraphs() { return ready().oemDigraphs; }

std::string expandDigraphs(std::string_view text) {
    const LocaleTables& t = ready();
    if (t.digraphs.empty()) return std::string(text);
    const std::string* byCharacter[256] = {};
    for (const std::string& d : t.digraphs)
        if (!byCharacter[uint8_t(d[0])]) byCharacter[uint8_t(d[0])] = &d;  // first entry wins
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const std::string* d = byCharacter[uint8_t(c)];
        if (d) out.append(*d, 1, 2);
        else out.push_back(c);
    }
    return out;
}

std::optional<std::string> messageOverride(int32_t number) {
    const LocaleTables& t = ready();
    auto it = t.messages.find(number);
    if (it == t.messages.end()) return std::nullopt;
    return it->second;
}

std::string runtimeMessage(int32_t number, std::string_view builtIn) {
    std::optional<std::string> text = messageOverride(number);
    return text ? *text : std::string(builtIn);
}

bool oemCharacterSet() { return ready().oem; }
bool longFileNames() { return ready().longFileNames; }
bool rightToLeftLayout() { return ready().rightToLeft; }
std::string systemCharacterSet() { return ready().systemCharset; }
RegionalSettings regionalSettings() { return ready().regional; }

}  // namespace varnok
