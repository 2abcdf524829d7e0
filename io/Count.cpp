#include "io/Count.h"

#include <charconv>
#include <string>

Result<long long> parseCount(std::string_view text, long long minimum, long long maximum) {
    long long value = 0;
    const char* end = text.data() + text.size();
    // from_chars takes a minus sign and leading zeros; a count is written plainly: digits only, and
    // "0" the only one that starts with a zero.
    const bool digits = !text.empty() && text[0] >= '0' && text[0] <= '9' && (text[0] != '0' || text.size() == 1);
    const auto read = digits ? std::from_chars(text.data(), end, value)
                             : std::from_chars_result{text.data(), std::errc::invalid_argument};
    if (read.ec != std::errc() || read.ptr != end || value < minimum || value > maximum)
        return Problem("it must be a whole number from " + std::to_string(minimum) + " to " + std::to_string(maximum));
    return value;
}
