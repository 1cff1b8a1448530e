#include "runtime/pictures/regional_pictures.h"

#include <memory>
#include <mutex>
#include <vector>

#include "runtime/pictures/picture_layouts.h"

namespace varnok {

namespace {

constexpr int MaxElements = CompiledPicture::MaxWidth;

// Appends elements while there is room; layouts longer than a picture can be
// are cut rather than overrunning the element arrays.
struct LayoutWriter {
    PictureElement* out;
    int count = 0;
    void add(ElementRole role, char ch) {
        if (count < MaxElements) out[count++] = PictureElement{role, ch};
    }
    void addRun(ElementRole role, char first, char rest, int length) {
        for (int i = 0; i < length; ++i) add(role, i == 0 ? first : rest);
    }
};

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// Short time (long: with seconds): hours, separator, minutes[, separator,
// seconds][, blank, AM/PM].
int buildTime(const RegionalSettings& s, bool withSeconds, PictureElement* out) {
    const char separator = s.sTime != '\0' ? s.sTime : ':';
    LayoutWriter w{out};
    w.addRun(ElementRole::Hours, s.iTLzero == 1 ? 'h' : 'H', 'h', 2);
    w.add(ElementRole::Separator, separator);
    w.addRun(ElementRole::Minutes, 'm', 'm', 2);
    if (withSeconds) {
        w.add(ElementRole::Separator, separator);
        w.addRun(ElementRole::Seconds, 's', 's', 2);
    }
    if (s.iTime == 0) {
        w.add(ElementRole::Separator, ' ');
        w.addRun(ElementRole::AmPm, 'P', 'P', 2);
    }
    return w.count;
}

// Short date: the order follows the first letter of the format; zeros shown
// for "dd" and "MM"; four year digits for "yyy"; the separator is the
// character after the last 'M'.
int buildShortDate(const std::string& format, PictureElement* out) {
    const char first = format.empty() ? 'M' : format[0];
    const char dayLead = contains(format, "dd") ? 'd' : 'D';
    const char monthLead = contains(format, "MM") ? 'm' : 'M';
    const int yearDigits = contains(format, "yyy") ? 4 : 2;
    char separator = '/';
    const size_t lastMonth = format.rfind('M');
    if (lastMonth != std::string::npos && lastMonth + 1 < format.size()) separator = format[lastMonth + 1];

    LayoutWriter w{out};
    auto day = [&] { w.addRun(ElementRole::Day, dayLead, 'd', 2); };
    auto month = [&] { w.addRun(ElementRole::Month, monthLead, 'm', 2); };
    auto year = [&] { w.addRun(ElementRole::Year, 'y', 'y', yearDigits); };
    auto sep = [&] { w.add(ElementRole::Separator, separator); };
    if (first == 'd') {
        day(); sep(); month(); sep(); year();
    } else if (first == 'y') {
        year(); sep(); month(); sep(); day();
    } else {
        month(); sep(); day(); sep(); year();
    }
    return w.count;
}

// One piece of a long date format: a field (a run of d, M or y), or literal
// text (quoted or any character that is not a field letter).
struct LongDateToken {
    char letter = 0;  // 'd', 'M', 'y'; 0 for literal text
    int length = 0;
    std::string text;
};

// Splits a long date format. Runs of other letters (era, hour and the like)
// are dropped; a run of three or more 'd' is the day of the week and is
// dropped too.
std::vector<LongDateToken> tokenizeLongDate(const std::string& format) {
    std::vector<LongDateToken> tokens;
    auto literal = [&](char c) {
        if (tokens.empty() || tokens.back().letter != 0) tokens.push_back(LongDateToken{});
        tokens.back().text.push_back(c);
    };
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        if (c == '\'') {
            // Quoted text; '' inside stands for one quote.
            ++i;
            while (i < format.size()) {
                if (format[i] == '\'') {
                    if (i + 1 < format.size() && format[i + 1] == '\'') {
                        literal('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal(format[i++]);
            }
            continue;
        }
        const bool isLetter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!isLetter) {
            literal(c);
            ++i;
            continue;
        }
        size_t run = i;
        while (run < format.size() && format[run] == c) ++run;
        const int length = static_cast<int>(run - i);
        i = run;
        if ((c == 'd' && length <= 2) || c == 'M' || c == 'y') tokens.push_back(LongDateToken{c, length, {}});
    }
    return tokens;
}

int buildLongDate(const std::string& format, PictureElement* out) {
    std::vector<LongDateToken> tokens = tokenizeLongDate(format);
    bool seen[3] = {false, false, false};  // day, month, year
    auto slot = [](char letter) { return letter == 'd' ? 0 : letter == 'M' ? 1 : 2; };
    int fields = 0;
    for (const LongDateToken& t : tokens) {
        if (t.letter != 0 && !seen[slot(t.letter)]) {
            seen[slot(t.letter)] = true;
            ++fields;
        }
    }
    if (fields == 0) return buildLongDate(RegionalSettings{}.sLongDate, out);

    LayoutWriter w{out};
    std::string pending;  // literal text since the last field
    bool anyField = false;
    bool used[3] = {false, false, false};
    for (const LongDateToken& t : tokens) {
        if (t.letter == 0) {
            pending += t.text;
            continue;
        }
        if (used[slot(t.letter)]) continue;  // a field written twice shows once
        used[slot(t.letter)] = true;
        if (anyField) {
            for (char c : pending) w.add(ElementRole::Separator, c);
        }
        pending.clear();
        anyField = true;
        switch (t.letter) {
        case 'd':
            w.addRun(ElementRole::Day, t.length >= 2 ? 'd' : 'D', 'd', 2);
            break;
        case 'M':
            if (t.length <= 2) {
                w.addRun(ElementRole::Month, t.length == 2 ? 'm' : 'M', 'm', 2);
            } else if (t.length == 3) {
                w.addRun(ElementRole::MonthName, 'n', 'n', 3);
            } else {
                w.addRun(ElementRole::MonthName, 'F', 'F', 9);
            }
            break;
        default:
            w.addRun(ElementRole::Year, 'y', 'y', t.length > 4 ? 4 : t.length);
            break;
        }
    }
    return w.count;
}

std::string cut(std::string text, size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

std::unique_ptr<RegionalPictures>& storedPictures() {
    static std::unique_ptr<RegionalPictures> pictures;
    return pictures;
}

}  // namespace

RegionalPictures buildRegionalPictures(const RegionalSettings& settings) {
    RegionalPictures r;
    r.shortTimeCount = buildTime(settings, false, r.shortTime);
    r.longTimeCount = buildTime(settings, true, r.longTime);
    r.shortDateCount = buildShortDate(settings.sShortDate, r.shortDate);
    r.longDateCount = buildLongDate(settings.sLongDate, r.longDate);
    r.amText = cut(settings.s1159, 2);
    r.pmText = cut(settings.s2359, 2);
    return r;
}

const RegionalPictures& regionalPictures() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!storedPictures()) {
            storedPictures() = std::make_unique<RegionalPictures>(buildRegionalPictures(regionalSettings()));
        }
    });
    return *storedPictures();
}

void replaceRegionalPicturesForTesting(const RegionalSettings& settings) {
    regionalPictures();  // build first, so the one-time build cannot overwrite this later
    *storedPictures() = buildRegionalPictures(settings);
}

}  // namespace varnok
