#pragma once

#include <string>
#include <string_view>

namespace runtime {

// Formats a number by a mask such as "###" or "##.0".
//
// Each '#' is a digit position shown only as far as the value needs; the integer part is
// always shown whole (6000 with "###" is "6000") and zero shows as "0". A fraction part of
// n '0's gives exactly n digits. The value is rounded to the mask's last place: to nearest on
// the double's exact binary value, and a value exactly half-way rounds away from zero.
// The text is the same in every locale: a point, never a comma, and no digit grouping.
// NaN and infinities give "NaN", "INF" and "-INF". A mask of any other shape throws
// std::invalid_argument.
std::string Format(double value, std::string_view mask);

} // namespace runtime
