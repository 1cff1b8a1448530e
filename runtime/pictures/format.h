// FORMAT and DEFORMAT: the runtime's two services on pictures.
//
// FORMAT gives the text of a value in exactly the picture's width (an
// invalid picture gives an empty text); DEFORMAT reads such text back as a
// plain number text: digits, at most one '.', a leading '-' when negative;
// dates and times come back as standard date and time numbers in decimal.
// Both compile the picture text on every call; code that formats many
// values with one picture compiles once and calls the compiled forms.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/pictures/picture.h"

namespace varnok {

// A number through any picture: number, pattern and scientific pictures
// format its value; date and time pictures take its integer part as a
// standard date or time; string and key-in pictures show its plain decimal
// text.
std::string FORMAT(double value, std::string_view picture);
// A text through any picture: string and key-in pictures show it left
// aligned, cut and padded to the width; the other kinds read it as a number
// (exactly, digit by digit, when it is written as one, else through the
// DEFORMAT rule for strings).
std::string FORMAT(std::string_view value, std::string_view picture);

// The number held in a text, as with the picture "@s255".
std::string DEFORMAT(std::string_view text);
// The value of a text formatted through the picture; empty for an invalid
// picture.
std::string DEFORMAT(std::string_view text, std::string_view picture);

std::string formatValue(double value, const CompiledPicture& p);
std::string formatText(std::string_view value, const CompiledPicture& p);
std::string deformatText(std::string_view text, const CompiledPicture& p);

// The reduction of a text to a number: its digits, the first '.', the first
// 'e' or 'E' that follows a digit, a '-' before anything else is kept or
// right after the 'e', and a '+' right after the 'e'; an exponent mark
// without digits after it is dropped.
std::string numberFromText(std::string_view text);

}  // namespace varnok
