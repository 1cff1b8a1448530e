#include "runtime/pictures/date_time_format.h"

#include "runtime/calendar/century_window.h"
#include "runtime/calendar/dates.h"
#include "runtime/locale/locale.h"
#include "runtime/pictures/regional_pictures.h"

namespace varnok {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the run of elements with the same role starting at i.
int runLength(const CompiledPicture& p, int i) {
    int end = i + 1;
    while (end < p.count && p.elements[end].role == p.elements[i].role) ++end;
    return end - i;
}

// The character a suppressed leading zero shows: blank, or the fill.
char leadingZeroChar(const CompiledPicture& p) { return p.fill == 0 ? ' ' : p.fill; }

// Appends `value` as `length` digits (the lowest ones when it has more);
// the first shows `lead` instead of a leading zero when `suppress` is set.
void appendDigits(std::string& out, int value, int length, bool suppress, char lead) {
    const size_t start = out.size();
    out.append(static_cast<size_t>(length), '0');
    for (int k = length - 1; k >= 0 && value > 0; --k) {
        out[start + static_cast<size_t>(k)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    if (suppress && length > 1 && out[start] == '0') out[start] = lead;
}

std::string monthNameText(char style, int month) {
    switch (style) {
    case 'N': return upperCase(monthAbbreviation(month));
    case 'n': return monthAbbreviation(month);
    default: return monthName(month);
    }
}

std::string padded(std::string text, int width) {
    if (static_cast<int>(text.size()) < width) text.append(static_cast<size_t>(width) - text.size(), ' ');
    return text;
}

void amPmTexts(const CompiledPicture& p, std::string& am, std::string& pm) {
    if (p.regionalAmPm) {
        const RegionalPictures& r = regionalPictures();
        am = r.amText;
        pm = r.pmText;
    } else {
        am = amText();
        pm = pmText();
    }
}

char charAt(std::string_view text, size_t i) { return i < text.size() ? text[i] : ' '; }

}  // namespace

std::string formatDate(const CompiledPicture& p, int32_t date) {
    CalendarDate calendar;
    const bool valid = dateToCalendar(date, calendar) == 0;
    if (!valid && p.blankWhenZero) return std::string(p.width, ' ');
    const char lead = leadingZeroChar(p);
    std::string out;
    out.reserve(p.width + 8u);
    for (int i = 0; i < p.count;) {
        const PictureElement& e = p.elements[i];
        const int length = e.role == ElementRole::Separator ? 1 : runLength(p, i);
        const bool suppress = e.ch == 'M' || e.ch == 'D';
        if (!valid && e.role != ElementRole::Separator) {
            out.append(static_cast<size_t>(length), ' ');
        } else {
            switch (e.role) {
            case ElementRole::Month: appendDigits(out, calendar.month, length, suppress, lead); break;
            case ElementRole::Day: appendDigits(out, calendar.day, length, suppress, lead); break;
            case ElementRole::Year: appendDigits(out, calendar.year, length, false, lead); break;
            case ElementRole::MonthName: out += monthNameText(e.ch, calendar.month); break;
            default: out += p.separator != 0 ? p.separator : e.ch; break;
            }
        }
        i += length;
    }
    return padded(std::move(out), p.width);
}

std::string formatTime(const CompiledPicture& p, int32_t time) {
    if (time == 0 && p.blankWhenZero) return std::string(p.width, ' ');
    // 0 (no time) shows its fields as zeros; a value that is no time of day
    // at all shows blank fields, as an impossible date does.
    const bool valid = time >= 0 && time <= LastStandardTime;
    if (!valid && p.blankWhenZero) return std::string(p.width, ' ');
    TimeRecord record;
    timeToRecord(time, record);
    bool twelveHour = false;
    for (int i = 0; i < p.count; ++i) twelveHour = twelveHour || p.elements[i].role == ElementRole::AmPm;
    int hours = record.hours;
    const bool afterNoon = hours >= 12;
    if (twelveHour) {
        hours %= 12;
        if (hours == 0) hours = 12;
    }
    std::string am, pm;
    if (twelveHour) amPmTexts(p, am, pm);
    const char lead = leadingZeroChar(p);
    std::string out;
    out.reserve(p.width);
    for (int i = 0; i < p.count;) {
        const PictureElement& e = p.elements[i];
        const int length = e.role == ElementRole::Separator ? 1 : runLength(p, i);
        if (!valid && e.role != ElementRole::Separator) {
            out.append(static_cast<size_t>(length), ' ');
            i += length;
            continue;
        }
        switch (e.role) {
        case ElementRole::Hours: appendDigits(out, hours, length, e.ch == 'H', lead); break;
        case ElementRole::Minutes: appendDigits(out, record.minutes, length, false, lead); break;
        case ElementRole::Seconds: appendDigits(out, record.seconds, length, false, lead); break;
        case ElementRole::AmPm: {
            const std::string& text = afterNoon ? pm : am;
            for (int k = 0; k < length; ++k) out += static_cast<size_t>(k) < text.size() ? text[k] : ' ';
            break;
        }
        default: out += p.separator != 0 ? p.separator : e.ch; break;
        }
        i += length;
    }
    return padded(std::move(out), p.width);
}

int32_t deformatDate(std::string_view text, const CompiledPicture& p) {
    int month = 0, day = 0, year = 0;
    bool anyDigit = false;
    bool hasDay = false;
    size_t at = 0;  // position in the text; month names may be shorter than their run
    for (int i = 0; i < p.count; ++i) {
        const PictureElement& e = p.elements[i];
        if (e.role == ElementRole::MonthName) {
            const int length = runLength(p, i);
            // The name runs to a blank, a digit or the separator that follows
            // it; its first three characters pick the month.
            const PictureElement* next = i + length < p.count ? &p.elements[i + length] : nullptr;
            const char stop = next != nullptr && next->role == ElementRole::Separator
                                  ? (p.separator != 0 ? p.separator : next->ch)
                                  : ' ';
            size_t end = at;
            while (end < text.size() && text[end] != ' ' && text[end] != stop && !isDigit(text[end])) ++end;
            if (end > at) {
                const std::string word = upperCase(text.substr(at, end - at < 3 ? end - at : 3));
                for (int m = 1; m <= 12; ++m) {
                    if (upperCase(monthAbbreviation(m).substr(0, 3)) == word) {
                        month = m;
                        break;
                    }
                }
            }
            at = end > at ? end : at + static_cast<size_t>(length);
            i += length - 1;
            continue;
        }
        const char c = charAt(text, at++);
        if (e.role == ElementRole::Day) hasDay = true;
        if (!isDigit(c)) continue;
        const int digit = c - '0';
        switch (e.role) {
        case ElementRole::Month: month = month * 10 + digit; anyDigit = true; break;
        case ElementRole::Day: day = day * 10 + digit; anyDigit = true; break;
        case ElementRole::Year: year = year * 10 + digit; anyDigit = true; break;
        default: break;
        }
    }
    if (!anyDigit) return 0;
    if (!hasDay) day = 1;
    if (year < 100) year = expandYear(year, p.centuryWindow);
    return DATE(month, day, year);
}

int32_t deformatTime(std::string_view text, const CompiledPicture& p) {
    int hours = 0, minutes = 0, seconds = 0;
    bool anyDigit = false;
    bool pmMark = false, amMark = false;
    std::string am, pm;
    amPmTexts(p, am, pm);
    for (int i = 0; i < p.count; ++i) {
        const PictureElement& e = p.elements[i];
        const char c = charAt(text, static_cast<size_t>(i));
        if (e.role == ElementRole::AmPm) {
            const int length = runLength(p, i);
            const uint8_t letter = upperCase(static_cast<uint8_t>(c));
            if (!pm.empty() && letter == upperCase(static_cast<uint8_t>(pm[0]))) {
                pmMark = true;
            } else if (!am.empty() && letter == upperCase(static_cast<uint8_t>(am[0]))) {
                amMark = true;
            }
            i += length - 1;
            continue;
        }
        if (!isDigit(c)) continue;
        const int digit = c - '0';
        switch (e.role) {
        case ElementRole::Hours: hours = hours * 10 + digit; anyDigit = true; break;
        case ElementRole::Minutes: minutes = minutes * 10 + digit; anyDigit = true; break;
        case ElementRole::Seconds: seconds = seconds * 10 + digit; anyDigit = true; break;
        default: break;
        }
    }
    if (!anyDigit) return 0;
    if (pmMark && hours != 12) hours += 12;
    if (amMark && hours == 12) hours = 0;
    if (hours > 23 || minutes > 59 || seconds > 59) return InvalidTime;
    return hours * 360000 + minutes * 6000 + seconds * 100 + 1;
}

}  // namespace varnok
