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
    // More than a few digits would need more than the exact-tie test below can vouch for.
    if (fraction.empty() || fraction.size() > 6 ||
        fraction.find_first_not_of('0') != std::string_view::npos)
        throw std::invalid_argument("Format: unsupported mask \"" + std::string(mask) + '"');
    return static_cast<int>(fraction.size());
}

// A double lies exactly half-way between two results with `digits` decimals only if it is
// m / 2^(digits+1) with m odd: 10^digits has as many factors of two as it has decimals.
bool IsExactTie(double magnitude, int digits) {
    const double scaled = std::ldexp(magnitude, digits + 1);
    if (scaled >= 0x1p53 || scaled != std::floor(scaled))
        return false;
    return std::fmod(scaled, 2.0) == 1.0;
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
    if (IsExactTie(magnitude, digits)) {
        // A tie has exactly digits+1 decimals, the last a 5: drop it and round up by hand,
        // since to_chars would round the half to even.
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
