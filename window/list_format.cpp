#include "window/list_format.h"

namespace varnok::window {

namespace {

constexpr int32_t kNumberLimit = 999999;  // larger numbers are cut to this

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Digits from text[i] on, cut to kNumberLimit; i ends after them.
int32_t readDigits(std::string_view text, size_t& i) {
    int32_t value = 0;
    while (i < text.size() && isDigit(text[i])) {
        value = value * 10 + (text[i] - '0');
        if (value > kNumberLimit) value = kNumberLimit;
        ++i;
    }
    return value;
}

// At text[i] == '(': the signed number inside the parentheses (0 when it is
// not one); i ends after the closing ')' or at the end of the text.
int32_t readParenthesised(std::string_view text, size_t& i) {
    size_t close = text.find(')', i);
    std::string_view inside = text.substr(i + 1, close == std::string_view::npos ? std::string_view::npos
                                                                                 : close - i - 1);
    i = close == std::string_view::npos ? text.size() : close + 1;
    size_t k = 0;
    while (k < inside.size() && inside[k] == ' ') ++k;
    bool negative = false;
    if (k < inside.size() && (inside[k] == '-' || inside[k] == '+')) negative = inside[k++] == '-';
    int32_t value = readDigits(inside, k);
    return negative ? -value : value;
}

// At text[i] == '@': the picture up to its closing '@' (not included); i ends
// after that '@'. A pattern ("@p...p@") or key-in ("@k...k@") picture ends
// at its closing letter followed by '@'.
std::string readPicture(std::string_view text, size_t& i) {
    const size_t start = i;
    size_t end = std::string_view::npos;  // where the picture's text ends
    char kind = i + 1 < text.size() ? upper(text[i + 1]) : 0;
    if (kind == 'P' || kind == 'K') {
        for (size_t j = i + 2; j + 1 < text.size(); ++j) {
            if (upper(text[j]) == kind && text[j + 1] == '@') {
                end = j + 1;
                break;
            }
        }
    }
    // Without its closing letter a pattern ends at the next '@', as others do.
    if (end == std::string_view::npos) end = text.find('@', i + 1);
    if (end == std::string_view::npos) {
        i = text.size();
        return std::string(text.substr(start));
    }
    i = end + 1;
    return std::string(text.substr(start, end - start));
}

// At text[i], one of L, C or R: the column's alignment (the header's after
// the header text) and its indent in parentheses; i ends after them.
void readAlignment(ListColumn& column, bool header, std::string_view text, size_t& i) {
    const char align = upper(text[i++]);
    const bool indent = i < text.size() && text[i] == '(';
    const int32_t amount = indent ? readParenthesised(text, i) : 0;
    if (header) {
        column.headerAlign = align;
        column.hasHeaderIndent = indent;
        column.headerIndent = amount;
    } else {
        column.align = align;
        column.hasIndent = indent;
        column.indent = amount;
    }
}

// At text[i] == '~': the header text up to the closing '~'; i ends after it.
void readHeader(ListColumn& column, std::string_view text, size_t& i) {
    const size_t close = text.find('~', i + 1);
    const size_t end = close == std::string_view::npos ? text.size() : close;
    column.header.assign(text.substr(i + 1, end - i - 1));
    column.hasHeader = true;
    i = close == std::string_view::npos ? text.size() : close + 1;
}

// At text[i]: a modifier letter (or * _ / ?) with its argument, appended to
// `modifiers`; true when it was one (anything else means nothing and is
// skipped).
bool readModifier(std::string& modifiers, std::string_view text, size_t& i) {
    const char c = text[i];
    if (!isLetter(c) && c != '*' && c != '_' && c != '/' && c != '?') {
        ++i;
        return false;
    }
    const size_t start = i++;
    if (i < text.size() && text[i] == '(') readParenthesised(text, i);
    modifiers.append(text.substr(start, i - start));
    return true;
}

}  // namespace

std::vector<ListColumn> parseListFormat(std::string_view text) {
    std::vector<ListColumn> columns;
    ListColumn column;
    bool started = false;      // the current column has something
    bool afterHeader = false;  // letters now describe the header
    auto finish = [&] {
        if (started) columns.push_back(std::move(column));
        column = ListColumn{};
        started = false;
        afterHeader = false;
    };

    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isDigit(c)) {
            finish();
            column.width = readDigits(text, i);
            started = true;
            continue;
        }
        switch (upper(c)) {
        case 'L':
        case 'C':
        case 'R':
            readAlignment(column, afterHeader, text, i);
            started = true;
            break;
        case 'I': column.icon = started = true, ++i; break;
        case '|': column.rightBorder = started = true, ++i; break;
        case 'M': column.resizable = started = true, ++i; break;
        case '~':
            readHeader(column, text, i);
            started = afterHeader = true;
            break;
        case '@':
            column.picture = readPicture(text, i);
            started = true;
            finish();  // a picture ends its column
            break;
        case '(': {  // a stray argument: skipped whole
            readParenthesised(text, i);
            break;
        }
        default:
            started = readModifier(afterHeader ? column.headerModifiers : column.modifiers, text, i) || started;
            break;
        }
    }
    finish();
    return columns;
}

ListColumn parseListColumn(std::string_view format) {
    std::vector<ListColumn> columns = parseListFormat(format);
    return columns.empty() ? ListColumn{} : std::move(columns.front());
}

std::string formatListColumn(const ListColumn& c) {
    std::string out = std::to_string(c.width);
    out += c.align == 'C' || c.align == 'R' ? c.align : 'L';
    if (c.hasIndent) out += "(" + std::to_string(c.indent) + ")";
    if (c.icon) out += 'I';
    if (c.rightBorder) out += '|';
    if (c.resizable) out += 'M';
    out += c.modifiers;
    if (c.hasHeader) {
        out += '~';
        out += c.header;
        out += '~';
        if (c.headerAlign) {
            out += c.headerAlign;
            if (c.hasHeaderIndent) out += "(" + std::to_string(c.headerIndent) + ")";
        }
    }
    out += c.headerModifiers;
    if (!c.picture.empty()) {
        if (c.picture.front() != '@') out += '@';
        out += c.picture;
        out += '@';
    }
    return out;
}

std::string formatListColumns(const std::vector<ListColumn>& columns) {
    std::string out;
    for (const ListColumn& c : columns) out += formatListColumn(c);
    return out;
}

}  // namespace varnok::window
