#include "runtime/Format.h"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace runtime {
namespace {

int FractionDigits(std::string_view mask) {
    const auto point = mask.find('.');
    const auto integerPart = mask.substr(0, point);
    if (integerPart.empty() || integerPart.find_first_not_of('#') != std::string_view::npos)
        throw std::invalid_argument("Format: unsupported mask \"" + std::string(mask) + '"');
    if (point == std::string_view::npos)
        return 0;
    const auto fraction = mask.substr(point + 1);
    // More than a few digits would need more than the half test below can vouch for.
    if (fraction.empty() || fraction.size() > 6 ||
        fraction.find_first_not_of('0') != std::string_view::npos)
        throw std::invalid_argument("Format: unsupported mask \"" + std::string(mask) + '"');
    return static_cast<int>(fraction.size());
}

// Whether a value is half-way between two results with `digits` decimals. Whole-number inputs
// make many exact halves, which division leaves a hair off in doubles; within the 15
// significant digits a double holds reliably such a value is the half, and rounds up as a
// person would. A half past those 15 digits still counts when the double is exactly it.
bool IsHalf(double magnitude, int digits) {
    char buffer[32];
    const auto end =
        std::to_chars(buffer, std::end(buffer), magnitude, std::chars_format::scientific, 14).ptr;
    // buffer holds d.dddddddddddddde±XX: 15 digits, the first at 10^exponent.
    const std::string_view text(buffer, end);
    const auto e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + (text[e + 1] == '+' ? 2 : 1), end, exponent);
    const std::string significand = text[0] + std::string(text.substr(2, e - 2));
    const int half = exponent + digits + 1; // the place of the 5, counted in significand
    if (half >= 0 && half < static_cast<int>(significand.size()))
        return significand[half] == '5' &&
               significand.find_first_not_of('0', half + 1) == std::string::npos;
    const double scaled = std::ldexp(magnitude, digits + 1);
    return scaled < 0x1p53 && scaled == std::floor(scaled) && std::fmod(scaled, 2.0) == 1.0;
}

// Adds one unit in the last place to a string of decimal digits with an optional point.
void IncrementLastDigit(std::string& text) {
    for (auto i = text.size(); i-- > 0;) {
        if (text[i] == '.')
            continue;
        if (text[i] != '9') {
            ++text[i];
            return;
        }
        text[i] = '0';
    }
    text.insert(text.begin(), '1');
}

} // namespace

std::string Format(double value, std::string_view mask) {
    const int digits = FractionDigits(mask);
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";

    const double magnitude = std::fabs(value);
    // 309 integer digits, a point and 7 decimals at the most. to_chars ignores the C
    // locale, which the application sets from the user's: the point stays a point.
    char buffer[320];
    const auto print = [&](int decimals) {
        const auto result =
            std::to_chars(buffer, std::end(buffer), magnitude, std::chars_format::fixed, decimals);
        return std::string(buffer, result.ptr);
    };
    std::string text;
    if (IsHalf(magnitude, digits)) {
        // Printed with one decimal more, a half ends in its 5: drop it and round up by hand,
        // since to_chars would round an exact half to even and a near one down.
        text = print(digits + 1);
        text.pop_back();
        if (text.back() == '.')
            text.pop_back();
        IncrementLastDigit(text);
    } else {
        // to_chars rounds the exact binary value correctly, which is the rule here.
        text = print(digits);
    }
    if (value < 0)
        text.insert(text.begin(), '-');
    return text;
}

} // namespace runtime
