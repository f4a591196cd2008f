#include "engine/NumericValue.h"

#include <charconv>
#include <limits>
#include <string>

namespace veskard::engine {
namespace {

bool isSkipped(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The value of a digit in `base`, or -1 when it is none.
int digitValue(char c, int base) {
    int value = -1;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

double radixValue(std::string_view digits, int base) {
    double value = 0;
    for (const char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            break;
        value = value * base + digit;
    }
    return value;
}

double decimalValue(std::string_view text) {
    std::string number; // the part that fits, in the form from_chars reads
    std::size_t at = 0;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        if (text[at] == '-')
            number += '-';
        ++at;
    }
    bool anyDigit = false;
    bool point = false;
    for (; at < text.size(); ++at) {
        if (isDigit(text[at])) {
            anyDigit = true;
        } else if (text[at] == '.' && !point) {
            point = true;
        } else {
            break;
        }
        number += text[at];
    }
    if (!anyDigit)
        return 0;

    bool negativeExponent = false;
    if (at < text.size() &&
        (text[at] == 'E' || text[at] == 'e' || text[at] == 'D' || text[at] == 'd')) {
        std::string exponent = "e";
        std::size_t next = at + 1;
        if (next < text.size() && (text[next] == '+' || text[next] == '-')) {
            negativeExponent = text[next] == '-';
            if (negativeExponent)
                exponent += '-';
            ++next;
        }
        const std::size_t firstDigit = next;
        while (next < text.size() && isDigit(text[next]))
            exponent += text[next++];
        // An exponent without digits does not fit; the mantissa alone counts.
        if (next > firstDigit)
            number += exponent;
        else
            negativeExponent = false;
    }

    double value = 0;
    const std::from_chars_result read =
        std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range) {
        // Beyond a double: too large, or with a negative exponent too small to
        // tell from zero. Either way no box accepts it.
        const double magnitude = negativeExponent ? 0.0 : std::numeric_limits<double>::infinity();
        return number.front() == '-' ? -magnitude : magnitude;
    }
    return value;
}

} // namespace

double numericValue(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (const char c : text) {
        if (!isSkipped(c))
            compact += c;
    }
    const std::string_view number = compact;
    if (number.size() >= 2 && number[0] == '&') {
        if (number[1] == 'H' || number[1] == 'h')
            return radixValue(number.substr(2), 16);
        if (number[1] == 'O' || number[1] == 'o')
            return radixValue(number.substr(2), 8);
        return 0;
    }
    return decimalValue(number);
}

} // namespace veskard::engine
