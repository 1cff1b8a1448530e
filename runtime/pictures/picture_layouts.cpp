#include "runtime/pictures/picture_layouts.h"

#include "runtime/pictures/regional_pictures.h"

namespace varnok {

namespace {

// Date layouts 1 to 16 of the general service. 'N' is a name shown as the
// capitalised abbreviation, 'F' a name shown at full length.
const char* const generalDates[16] = {
    "Mm/dd/yy",     "Mm/dd/yyyy", "NNN Dd,yyyy", "FFFFFFFFF Dd, yyyy",
    "Dd/mm/yy",     "Dd/mm/yyyy", "Dd NNN yy",   "Dd NNN yyyy",
    "yy/mm/dd",     "yyyy/mm/dd", "yymmdd",      "yyyymmdd",
    "mm/yy",        "mm/yyyy",    "yy/mm",       "yyyy/mm",
};

// Entry fields lay out a few entries differently and add 19 and 20.
const char* entryDate(int number) {
    switch (number) {
    case 3: return "NNN Dd, yyyy";
    case 13: return "Mm/yy";
    case 14: return "Mm/yyyy";
    case 19: return "Dd FFFFFFFFF yyyy";
    case 20: return "FFFFFFFFF Dd yyyy";
    default: return nullptr;
    }
}

// Time layouts 1 to 6; 'P' is one position of the AM/PM text.
const char* const generalTimes[6] = {
    "Hh:mm", "Hhmm", "Hh:mmPP", "Hh:mm:ss", "Hhmmss", "Hh:mm:ssPP",
};
const char* const entryTimes[6] = {
    "hh:mm", "hhmm", "Hh:mmPP", "hh:mm:ss", "hhmmss", "Hh:mm:ssPP",
};

int copyElements(const PictureElement* from, int count, PictureElement* out) {
    for (int i = 0; i < count; ++i) out[i] = from[i];
    return count;
}

}  // namespace

int layoutFromLetters(const char* letters, bool isDate, PictureElement* out) {
    int n = 0;
    for (const char* p = letters; *p != '\0' && n < CompiledPicture::MaxWidth; ++p) {
        const char c = *p;
        ElementRole role = ElementRole::Separator;
        if (isDate) {
            switch (c) {
            case 'M': case 'm': role = ElementRole::Month; break;
            case 'D': case 'd': role = ElementRole::Day; break;
            case 'y': role = ElementRole::Year; break;
            case 'N': case 'F': case 'n': role = ElementRole::MonthName; break;
            default: break;
            }
        } else {
            switch (c) {
            case 'H': case 'h': role = ElementRole::Hours; break;
            case 'm': role = ElementRole::Minutes; break;
            case 's': role = ElementRole::Seconds; break;
            case 'P': role = ElementRole::AmPm; break;
            default: break;
            }
        }
        out[n++] = PictureElement{role, c};
    }
    return n;
}

int dateLayout(int number, PictureDialect dialect, PictureElement* out) {
    const int last = dialect == PictureDialect::EntryField ? 20 : 18;
    if (number < 1 || number > last) return 0;
    if (number == 17 || number == 18) {
        const RegionalPictures& r = regionalPictures();
        return number == 17 ? copyElements(r.shortDate, r.shortDateCount, out)
                            : copyElements(r.longDate, r.longDateCount, out);
    }
    const char* letters = dialect == PictureDialect::EntryField ? entryDate(number) : nullptr;
    if (letters == nullptr) letters = generalDates[number - 1];
    return layoutFromLetters(letters, true, out);
}

int timeLayout(int number, PictureDialect dialect, PictureElement* out) {
    if (number < 1 || number > 8) return 0;
    if (number == 7 || number == 8) {
        const RegionalPictures& r = regionalPictures();
        return number == 7 ? copyElements(r.shortTime, r.shortTimeCount, out)
                           : copyElements(r.longTime, r.longTimeCount, out);
    }
    const char* const* table = dialect == PictureDialect::EntryField ? entryTimes : generalTimes;
    return layoutFromLetters(table[number - 1], false, out);
}

}  // namespace varnok
