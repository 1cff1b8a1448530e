#include "runtime/records/raw_field.h"
#include "textfile/option_checker.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>

#include "runtime/errors/error_codes.h"
#include "window/message_box.h"

namespace varnok::textfile {

namespace {

// Fields of the switch table record, in this order.
enum SwitchField : int {
    F_NAME = 1, F_KIND, F_DESTINATION, F_DESTINATION2, F_TRUEVALUE, F_FALSEVALUE,
    F_DEFAULTVALUE, F_EMPTYVALUE, F_MAXLENGTH, F_TWOVALUES, F_ORDER,
    F_BVALUE, F_SVALUE, F_ULVALUE, F_CVALUE, F_STRVALUE, F_CVAL2, F_SVAL2,
};
constexpr uint32_t kNameSize = 32;
constexpr uint32_t kWordSize = 16;
constexpr uint32_t kTextSize = 256;  // text values: at most 255 characters

RecordLayout switchLayout() {
    return RecordLayoutBuilder()
        .string("NAME", kNameSize)
        .byte("KIND")
        .longField("DESTINATION")
        .longField("DESTINATION2")
        .string("TRUEVALUE", kWordSize)
        .string("FALSEVALUE", kWordSize)
        .string("DEFAULTVALUE", kTextSize)
        .string("EMPTYVALUE", kTextSize)
        .ushortField("MAXLENGTH")
        .byte("TWOVALUES")
        .longField("ORDER")
        .byte("BVALUE")
        .shortField("SVALUE")
        .ulongField("ULVALUE")
        .cstring("CVALUE", kTextSize)
        .string("STRVALUE", kTextSize)
        .cstring("CVAL2", kTextSize)
        .shortField("SVAL2")
        .build();
}

enum TokenField : int { T_NAME = 1, T_VALUE };

RecordLayout tokenLayout() {
    return RecordLayoutBuilder().string("NAME", kNameSize).string("VALUE", kTextSize).build();
}

const char* const kPoorlyFormed = "Poorly formed driver string.  ";

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// Index of the first `c` at or after `from` that is outside apostrophes;
// npos when there is none.
size_t findOutsideQuotes(std::string_view s, char c, size_t from = 0) {
    bool quoted = false;
    for (size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\'') quoted = !quoted;
        else if (s[i] == c && !quoted) return i;
    }
    return std::string_view::npos;
}

// A decimal with an optional sign; no digits read as 0; saturates.
int64_t readDecimal(std::string_view s) {
    s = trimmed(s);
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+')) negative = s[pos++] == '-';
    int64_t n = 0;
    constexpr int64_t kCap = std::numeric_limits<int64_t>::max() / 10 - 9;
    for (; pos < s.size() && s[pos] >= '0' && s[pos] <= '9'; ++pos) {
        if (n < kCap) n = n * 10 + (s[pos] - '0');
    }
    return negative ? -n : n;
}

int64_t clamped(int64_t v, int64_t lo, int64_t hi) { return std::min(std::max(v, lo), hi); }

void message(const std::string& text) {
    window::message(text, "", window::IconExclamation, window::ButtonOk);
}


std::string readField(const FieldDesc& f, const uint8_t* record) {
    const uint8_t* p = record + f.offset;
    switch (f.type) {
    case FieldType::Byte: return std::to_string(p[0]);
    case FieldType::Short: return std::to_string(loadRaw<int16_t>(p));
    case FieldType::UShort: return std::to_string(loadRaw<uint16_t>(p));
    case FieldType::Long: return std::to_string(loadRaw<int32_t>(p));
    case FieldType::ULong: return std::to_string(loadRaw<uint32_t>(p));
    case FieldType::String: {
        size_t n = f.size;
        while (n > 0 && p[n - 1] == ' ') --n;
        return std::string(reinterpret_cast<const char*>(p), n);
    }
    case FieldType::CString: {
        const void* nul = std::memchr(p, 0, f.size);
        size_t n = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - p) : f.size;
        return std::string(reinterpret_cast<const char*>(p), n);
    }
    case FieldType::PString: {
        if (f.size == 0) return {};
        size_t n = std::min<size_t>(p[0], f.size - 1);
        return std::string(reinterpret_cast<const char*>(p + 1), n);
    }
    default: return {};
    }
}

bool writeField(const FieldDesc& f, uint8_t* record, std::string_view text) {
    uint8_t* p = record + f.offset;
    switch (f.type) {
    case FieldType::Byte: p[0] = static_cast<uint8_t>(clamped(readDecimal(text), 0, 255)); return true;
    case FieldType::Short: storeRaw(p, static_cast<int16_t>(clamped(readDecimal(text), INT16_MIN, INT16_MAX))); return true;
    case FieldType::UShort: storeRaw(p, static_cast<uint16_t>(clamped(readDecimal(text), 0, UINT16_MAX))); return true;
    case FieldType::Long: storeRaw(p, static_cast<int32_t>(clamped(readDecimal(text), INT32_MIN, INT32_MAX))); return true;
    case FieldType::ULong: storeRaw(p, static_cast<uint32_t>(clamped(readDecimal(text), 0, UINT32_MAX))); return true;
    case FieldType::String: {
        size_t n = std::min<size_t>(text.size(), f.size);
        std::memset(p, ' ', f.size);
        std::memcpy(p, text.data(), n);
        return true;
    }
    case FieldType::CString: {
        if (f.size == 0) return true;
        size_t n = std::min<size_t>(text.size(), f.size - 1);
        std::memset(p, 0, f.size);
        std::memcpy(p, text.data(), n);
        return true;
    }
    case FieldType::PString: {
        if (f.size == 0) return true;
        size_t n = std::min<size_t>(text.size(), std::min<size_t>(f.size - 1, 255));
        std::memset(p, ' ', f.size);
        p[0] = static_cast<uint8_t>(n);
        std::memcpy(p + 1, text.data(), n);
        return true;
    }
    default: return false;
    }
}

}  // namespace

struct OptionChecker::Entry {
    std::string name;
    SwitchKind kind = SwitchKind::Flag;
    int destination = 0, destination2 = 0;
    std::string trueValue, falseValue, defaultValue, emptyValue;
    uint16_t maxLength = 0;
    bool twoValues = false;
};

std::string unquoteValue(std::string_view value) {
    if (value.size() < 2 || value.front() != '\'' || value.back() != '\'') return std::string(value);
    std::string out;
    std::string_view inner = value.substr(1, value.size() - 2);
    for (size_t i = 0; i < inner.size(); ++i) {
        out.push_back(inner[i]);
        if (inner[i] == '\'' && i + 1 < inner.size() && inner[i + 1] == '\'') ++i;
    }
    return out;
}

std::string quoteValue(std::string_view text, char marker, bool commaToo) {
    std::string special = std::string("' \t") + marker + (commaToo ? "," : "");
    bool needs = text.empty() || text.find_first_of(special) != std::string_view::npos;
    if (!needs) return std::string(text);
    std::string out = "'";
    for (char c : text) {
        out.push_back(c);
        if (c == '\'') out.push_back('\'');
    }
    return out + "'";
}

OptionChecker::OptionChecker(const RecordLayout& optionLayout, uint8_t* optionRecord, char marker)
    : layout_(optionLayout), record_(optionRecord), marker_(marker),
      switches_(switchLayout()), tokens_(tokenLayout()) {}

std::string OptionChecker::fieldText(int field) const {
    const FieldDesc* f = layout_.field(field);
    return f ? readField(*f, record_) : std::string();
}

bool OptionChecker::setFieldText(int field, std::string_view text) {
    const FieldDesc* f = layout_.field(field);
    return f && writeField(*f, record_, text);
}

OptionChecker::Entry OptionChecker::decode() const {
    const RecordLayout& l = switches_.layout();
    const uint8_t* b = switches_.buffer();
    auto text = [&](int field) { return readField(*l.field(field), b); };
    Entry e;
    e.name = text(F_NAME);
    e.kind = static_cast<SwitchKind>(b[l.field(F_KIND)->offset]);
    e.destination = loadRaw<int32_t>(b + l.field(F_DESTINATION)->offset);
    e.destination2 = loadRaw<int32_t>(b + l.field(F_DESTINATION2)->offset);
    e.trueValue = text(F_TRUEVALUE);
    e.falseValue = text(F_FALSEVALUE);
    e.defaultValue = text(F_DEFAULTVALUE);
    e.emptyValue = text(F_EMPTYVALUE);
    e.maxLength = loadRaw<uint16_t>(b + l.field(F_MAXLENGTH)->offset);
    e.twoValues = b[l.field(F_TWOVALUES)->offset] != 0;
    return e;
}

bool OptionChecker::find(std::string_view name, Entry& entry) {
    if (name.empty() || name.size() > kNameSize) return false;
    writeField(*switches_.layout().field(F_NAME), switches_.buffer(), upper(name));
    GET(switches_, Key{F_NAME});
    if (errorCode() != 0) return false;
    entry = decode();
    return true;
}

bool OptionChecker::declare(const SwitchDef& def) {
    std::string name = upper(trimmed(def.name));
    Entry existing;
    if (name.empty() || name.size() > kNameSize || find(name, existing)) return false;
    if (!layout_.field(def.destination)) return false;
    const RecordLayout& l = switches_.layout();
    uint8_t* b = switches_.buffer();
    clearRecord(l, b);
    writeField(*l.field(F_NAME), b, name);
    b[l.field(F_KIND)->offset] = static_cast<uint8_t>(def.kind);
    storeRaw(b + l.field(F_DESTINATION)->offset, static_cast<int32_t>(def.destination));
    storeRaw(b + l.field(F_DESTINATION2)->offset, static_cast<int32_t>(def.destination2));
    writeField(*l.field(F_TRUEVALUE), b, def.trueValue);
    writeField(*l.field(F_FALSEVALUE), b, def.falseValue);
    writeField(*l.field(F_DEFAULTVALUE), b, def.defaultValue);
    writeField(*l.field(F_EMPTYVALUE), b, def.emptyValue);
    storeRaw(b + l.field(F_MAXLENGTH)->offset,
            static_cast<uint16_t>(std::min<uint32_t>(def.maxLength, kTextSize - 1)));
    b[l.field(F_TWOVALUES)->offset] = def.twoValues ? 1 : 0;
    storeRaw(b + l.field(F_ORDER)->offset, static_cast<int32_t>(++declared_));
    ADD(switches_, Key{F_NAME});
    if (errorCode() != 0) return false;
    setFieldText(def.destination, def.defaultValue);
    return true;
}

int OptionChecker::read(std::string_view s) {
    // Every field back to its start value; no tokens yet.
    for (uint32_t i = 1, n = RECORDS(switches_); i <= n; ++i) {
        GET(switches_, static_cast<int32_t>(i));
        Entry e = decode();
        setFieldText(e.destination, e.defaultValue);
    }
    FREE(tokens_);
    lastToken_.clear();

    size_t pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
        if (pos >= s.size()) break;
        bool marked = s[pos] == marker_;
        if (marked) ++pos;
        size_t end = findOutsideQuotes(s, marker_, pos);
        if (end == std::string_view::npos) end = s.size();
        std::string_view token = s.substr(pos, end - pos);
        pos = end;
        if (marked) {
            readSwitch(token);
        } else {
            // Text that does not start with the marker is no switch at all.
            message(kPoorlyFormed + std::string(trimmed(token)) + " is not a valid switch");
        }
    }
    return static_cast<int>(RECORDS(tokens_));
}

void OptionChecker::readSwitch(std::string_view token) {
    lastToken_ = std::string(trimmed(token));
    size_t eq = token.find('=');
    std::string written(trimmed(token.substr(0, eq)));
    Entry e;
    if (!find(written, e)) {
        message(kPoorlyFormed + written + " is not a valid switch");
        return;
    }
    std::string_view value = eq == std::string_view::npos ? std::string_view() : trimmed(token.substr(eq + 1));
    std::string_view second;
    if (e.twoValues && !value.empty()) {
        size_t comma = findOutsideQuotes(value, ',');
        if (comma != std::string_view::npos) second = trimmed(value.substr(comma + 1));
        value = trimmed(value.substr(0, comma));
        if (!value.empty() && second.empty()) {
            message(kPoorlyFormed + written + " has missing value");
            return;
        }
    }
    if (value.empty()) {
        message(kPoorlyFormed + written + " has no value");
        return;
    }

    const RecordLayout& l = switches_.layout();
    uint8_t* b = switches_.buffer();
    std::string unquoted = unquoteValue(value);
    std::string stored;  // the value as the field takes it
    switch (e.kind) {
    case SwitchKind::Flag: {
        std::string word = upper(unquoted);
        if (word == upper(e.trueValue)) stored = "1";
        else if (word == upper(e.falseValue)) stored = "0";
        else {
            message(e.name + " has an incorrect value of " + unquoted + ".  Value ignored");
            return;
        }
        b[l.field(F_BVALUE)->offset] = stored == "1" ? 1 : 0;
        break;
    }
    case SwitchKind::Short: {
        int64_t n = clamped(readDecimal(unquoted), INT16_MIN, INT16_MAX);
        storeRaw(b + l.field(F_SVALUE)->offset, static_cast<int16_t>(n));
        stored = std::to_string(n);
        break;
    }
    case SwitchKind::Long: {
        int64_t n = clamped(readDecimal(unquoted), INT32_MIN, UINT32_MAX);
        storeRaw(b + l.field(F_ULVALUE)->offset, static_cast<uint32_t>(n));
        stored = std::to_string(n);
        break;
    }
    case SwitchKind::Text:
        stored = unquoted.substr(0, e.maxLength);
        writeField(*l.field(F_CVALUE), b, stored);
        break;
    }
    writeField(*l.field(F_STRVALUE), b, value);
    setFieldText(e.destination, stored);
    if (e.twoValues) {
        std::string second2 = unquoteValue(second);
        if (e.kind == SwitchKind::Text) {
            second2 = second2.substr(0, e.maxLength);
            writeField(*l.field(F_CVAL2), b, second2);
        } else {
            int64_t n = clamped(readDecimal(second2), INT16_MIN, INT16_MAX);
            storeRaw(b + l.field(F_SVAL2)->offset, static_cast<int16_t>(n));
            second2 = std::to_string(n);
        }
        if (e.destination2) setFieldText(e.destination2, second2);
    }
    PUT(switches_);

    const RecordLayout& tl = tokens_.layout();
    writeField(*tl.field(T_NAME), tokens_.buffer(), e.name);
    writeField(*tl.field(T_VALUE), tokens_.buffer(), eq == std::string_view::npos ? "" : trimmed(token.substr(eq + 1)));
    ADD(tokens_);
}

std::string OptionChecker::valueForWrite(const Entry& e) const {
    std::string current = fieldText(e.destination);
    std::string value;
    switch (e.kind) {
    case SwitchKind::Flag:
        if (current == "1") value = e.trueValue;
        else if (current == "0") value = e.falseValue;
        else return {};  // neither on nor off: not given
        break;
    case SwitchKind::Short:
    case SwitchKind::Long:
        value = current;
        break;
    case SwitchKind::Text:
        value = quoteValue(current, marker_, e.twoValues);
        break;
    }
    if (e.twoValues && e.destination2) {
        std::string second = fieldText(e.destination2);
        value += "," + (e.kind == SwitchKind::Text ? quoteValue(second, marker_, true) : second);
    }
    return value;
}

std::string OptionChecker::write() {
    std::string out;
    SORT(switches_, Key{F_ORDER});
    for (uint32_t i = 1, n = RECORDS(switches_); i <= n; ++i) {
        GET(switches_, static_cast<int32_t>(i));
        Entry e = decode();
        if (fieldText(e.destination) == e.emptyValue) continue;
        std::string value = valueForWrite(e);
        if (value.empty()) continue;
        if (!out.empty()) out += " ";
        out += std::string(1, marker_) + e.name + "=" + value;
    }
    SORT(switches_, Key{F_NAME});
    return out;
}

}  // namespace varnok::textfile
