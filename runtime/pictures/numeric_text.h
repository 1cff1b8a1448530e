// NUMERIC: the runtime's test whether a value text is a number, as the queue
// viewer and the CSV and XML exports ask it of every value they read.
//
// Leading and trailing spaces are set aside (spaces only; a tab or any other
// blank makes the text not numeric). What remains must be, in this order:
//   - an optional sign, '+' or '-';
//   - digits with at most one decimal point '.', and at least one digit
//     (".5" and "1." are numbers, "." is not);
//   - optionally an exponent: 'e' or 'E', an optional sign, then at least one
//     digit ("1e5", "2E-3"; "1e" and "1e+" are not numbers).
// The empty text, and a text of spaces only, is not numeric. Neither are
// group separators ("1,000"), hexadecimal ("0x1F"), inner spaces ("1 2"),
// "inf" or "nan".
//
//   NUMERIC("12") NUMERIC("-3.5") NUMERIC(".5") NUMERIC("+2") NUMERIC(" 1e5 ")
//   !NUMERIC("") !NUMERIC("-") !NUMERIC(".") !NUMERIC("1,000") !NUMERIC("1e")
#pragma once
#include <string_view>

namespace varnok {

bool NUMERIC(std::string_view text);

}  // namespace varnok
