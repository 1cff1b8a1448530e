// List column formats: the text that lays out a list control's columns, one
// column after another, each written as
//
//   width  align [(indent)]  modifiers  [~header~ [align [(indent)]]]  [@picture@]
//   130    L      (2)        |M          ~Extension~                    @s64@
//
// - width: dialog units (a number; a missing width reads as 0);
// - align: `L` left, `C` centred, `R` right, with an optional indent in
//   dialog units in parentheses;
// - modifiers: `I` the column shows an icon (its field is followed by the
//   icon number's field), `|` a line on the column's right, `M` the user can
//   resize the column; any other letter, with or without a parenthesised
//   argument (`S(255)` scrolls, `F`, `Z(2)`, ...), is kept as written and
//   otherwise ignored;
// - header: the text between two `~`, optionally followed by the header's
//   own alignment and indent (`~Category~L(1)`); without one the header is
//   aligned and indented as the data;
// - picture: from `@` up to the closing `@`; a pattern or key-in picture
//   ("@p p@", "@k##k@") runs to its closing letter, so it may contain `@`.
//   The stored picture has no closing `@` ("@s64", "@p p").
//
// A new column starts with a number once the current column has anything,
// or after a picture. Malformed texts never fail: an unterminated header or
// picture runs to the end of the text, a bad number reads as 0, characters
// that mean nothing are skipped.
//
// formatListColumn writes a column back in the order above, so parsing and
// writing again gives the same columns, and the formats this program uses
// come back character for character.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnok::window {

struct ListColumn {
    int32_t width = 0;        // dialog units
    char align = 'L';         // 'L', 'C' or 'R'
    int32_t indent = 0;       // dialog units
    bool hasIndent = false;   // "(n)" was written
    bool icon = false;        // I
    bool rightBorder = false; // |
    bool resizable = false;   // M
    bool hasHeader = false;   // "~...~" was written (it may be empty)
    std::string header;
    char headerAlign = 0;     // 0: as the data
    int32_t headerIndent = 0;
    bool hasHeaderIndent = false;
    std::string picture;      // "@s64"; empty: the field's text as it is
    std::string modifiers;    // recognised and ignored, as written, before the header
    std::string headerModifiers;  // the same, written after the header

    // The alignment and indent the header is drawn with.
    char effectiveHeaderAlign() const { return headerAlign ? headerAlign : align; }
    int32_t effectiveHeaderIndent() const {
        return headerAlign ? (hasHeaderIndent ? headerIndent : 0) : indent;
    }

    bool operator==(const ListColumn&) const = default;
};

std::vector<ListColumn> parseListFormat(std::string_view format);
// The first column of a format text (a default column when there is none).
ListColumn parseListColumn(std::string_view format);
std::string formatListColumn(const ListColumn& column);
std::string formatListColumns(const std::vector<ListColumn>& columns);

}  // namespace varnok::window
