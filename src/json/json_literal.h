#pragma once
// Classifying and normalising the bare literals of a JSON text (numbers, true, false, null).

#include <string>
#include <string_view>

namespace zarvex {

// True for "-" or a digit followed by digits with at most one "." (not last, not after the
// exponent) and at most one exponent: "e" or "E", a sign, then one or more digits. So "-",
// "007" and "1.e+5" are numbers; "1e5", "1.", ".5", "+1" and "1e+" are not.
bool is_json_number(std::string_view literal);

}  // namespace zarvex
