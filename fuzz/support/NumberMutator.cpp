#include "fuzz/support/NumberMutator.h"
#include <cstring>
#include <vector>

namespace fuzz {

namespace {

const char* const kExtremes[] = {
    "0",        "-1",       "1",           "2147483647", "-2147483648", "4294967296", "1e20",
    "-1e20",    "1e39",     "-1e39",       "3.4e38",     "1e-45",       "NaN",        "inf",
    "-0",       "99999999999999999999",    "0.0000001",  "2147483648",  "-2147483649",
};

bool isNumberByte(uint8_t c) { return (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E'; }

struct Span {
    size_t start;
    size_t end;
};

// Numbers: a run of digits (with its sign, point and exponent) that starts
// after a quote, a separator, a blank or '>' — the places values stand in.
std::vector<Span> findNumbers(const uint8_t* data, size_t size) {
    std::vector<Span> found;
    size_t i = 0;
    while (i < size) {
        const bool digit = data[i] >= '0' && data[i] <= '9';
        const bool signedDigit = (data[i] == '-' || data[i] == '+') && i + 1 < size && data[i + 1] >= '0' &&
                                 data[i + 1] <= '9';
        const uint8_t before = i > 0 ? data[i - 1] : ' ';
        const bool starts = before == '"' || before == ';' || before == ',' || before == ' ' || before == '>' ||
                            before == '\'';
        if ((digit || signedDigit) && starts) {
            size_t end = i + 1;
            while (end < size && (isNumberByte(data[end]) ||
                                  ((data[end] == '-' || data[end] == '+') && (data[end - 1] == 'e' || data[end - 1] == 'E'))))
                ++end;
            found.push_back({i, end});
            i = end;
        } else {
            ++i;
        }
    }
    return found;
}

}  // namespace

size_t swapNumber(uint8_t* data, size_t size, size_t maxSize, unsigned int seed) {
    const std::vector<Span> numbers = findNumbers(data, size);
    if (numbers.empty()) return 0;
    const Span span = numbers[seed % numbers.size()];
    const char* value = kExtremes[(seed / numbers.size()) % (sizeof(kExtremes) / sizeof(kExtremes[0]))];
    const size_t length = std::strlen(value);
    const size_t newSize = size - (span.end - span.start) + length;
    if (newSize > maxSize) return 0;
    std::memmove(data + span.start + length, data + span.end, size - span.end);
    std::memcpy(data + span.start, value, length);
    return newSize;
}

}  // namespace fuzz
