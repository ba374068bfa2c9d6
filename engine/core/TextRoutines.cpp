#include "engine/core/TextRoutines.h"
#include "engine/core/PropertyData.h"
#include <cmath>
#include <cstddef>
#include <limits>

namespace engine {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Decimal digits of a magnitude, most significant first.
stringc decimalDigits(uint32_t magnitude) {
    char buffer[16];
    int32_t length = 0;
    do {
        buffer[length++] = static_cast<char>('0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0u);
    stringc out;
    while (length > 0) out.append(buffer[--length]);
    return out;
}

uint32_t magnitudeOf(int32_t value) {
    // Through unsigned arithmetic so that the smallest int has a magnitude too.
    return value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
}

stringc decimalText(int32_t value) {
    stringc out;
    if (value < 0) out.append('-');
    out.append(decimalDigits(magnitudeOf(value)));
    return out;
}

int32_t truncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

// One number of an int list starting at a '-' or a digit. Plain whole numbers
// are read exactly, so that every int written by joinIntArray reads back as
// itself (a float keeps only 24 bits); numbers with a fraction or an exponent
// go through the engine number syntax.
int32_t readListNumber(const char* text, size_t& pos) {
    size_t end = pos;
    if (text[end] == '-') ++end;
    while (isDigit(text[end])) ++end;
    if (text[end] == '.' || text[end] == 'e' || text[end] == 'E') {
        const char* numberEnd = text + pos;
        const int32_t value = truncateToInt(parseFloat(text + pos, &numberEnd));
        pos = static_cast<size_t>(numberEnd - text);
        return value;
    }

    const bool negative = text[pos] == '-';
    if (negative) ++pos;
    int64_t magnitude = 0;
    const int64_t limit = negative ? int64_t(2147483648LL) : int64_t(2147483647LL);
    for (; pos < end; ++pos) {
        magnitude = magnitude * 10 + (text[pos] - '0');
        if (magnitude > limit) magnitude = limit;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace

stringw formatMinutesSeconds(uint32_t milliseconds) {
    const uint32_t minutes = (milliseconds / 60000u) % 60u;
    const uint32_t seconds = (milliseconds / 1000u) % 60u;
    stringw out;
    out.append(static_cast<wchar_t>(L'0' + minutes / 10u));
    out.append(static_cast<wchar_t>(L'0' + minutes % 10u));
    out.append(L':');
    out.append(static_cast<wchar_t>(L'0' + seconds / 10u));
    out.append(static_cast<wchar_t>(L'0' + seconds % 10u));
    return out;
}

stringw formatWithSeparator(int32_t value, wchar_t separator) {
    const stringc digits = decimalDigits(magnitudeOf(value));
    const int32_t n = static_cast<int32_t>(digits.size());
    stringw out;
    if (value < 0) out.append(L'-');
    if (n <= 3) {
        for (int32_t i = 0; i < n; ++i) out.append(static_cast<wchar_t>(digits[i]));
        return out;
    }
    // Filled from the end: a separator goes in before every fourth, seventh...
    // digit counted from the right.
    const int32_t length = n + (n - 1) / 3;
    wchar_t grouped[32];
    int32_t at = length;
    for (int32_t i = n - 1, copied = 0; i >= 0; --i, ++copied) {
        if (copied > 0 && copied % 3 == 0) grouped[--at] = separator;
        grouped[--at] = static_cast<wchar_t>(digits[i]);
    }
    grouped[length] = L'\0';
    out.append(grouped);
    return out;
}

void trimWhitespace(stringc& text) {
    const int32_t size = static_cast<int32_t>(text.size());
    int32_t begin = 0;
    while (begin < size && isTrimmed(text[begin])) ++begin;
    int32_t end = size;
    while (end > begin && isTrimmed(text[end - 1])) --end;
    if (begin == 0 && end == size) return;
    text = text.subString(begin, end - begin);
}

array<NameId> splitBySemicolon(const stringc& text) {
    array<NameId> ids;
    const int32_t size = static_cast<int32_t>(text.size());
    int32_t start = 0;
    while (start <= size) {
        int32_t cut = start;
        while (cut < size && text[cut] != ';') ++cut;
        stringc piece = text.subString(start, cut - start);
        trimWhitespace(piece);
        if (!piece.empty()) ids.push_back(makeNameId(piece));
        start = cut + 1;
    }
    return ids;
}

array<int32_t> parseIntArray(const stringc& text) {
    array<int32_t> values;
    const char* chars = text.c_str();
    size_t pos = 0;
    while (chars[pos] != '\0') {
        if (chars[pos] == '-' || isDigit(chars[pos]))
            values.push_back(readListNumber(chars, pos));
        else
            ++pos;
    }
    return values;
}

stringc joinIntArray(const array<int32_t>& values) {
    stringc out;
    for (uint32_t i = 0; i < values.size(); ++i) {
        if (i > 0) out.append(';');
        out.append(decimalText(values[i]));
    }
    return out;
}

bool equalWide(const stringw& text, const wchar_t* other) {
    if (!other) return false;
    const wchar_t* mine = text.c_str();
    uint32_t i = 0;
    for (; i < text.size(); ++i) {
        if (mine[i] != other[i]) return false;  // also stops at the end of other
    }
    return other[i] == L'\0';
}

stringc operator+(const char* left, const stringc& right) {
    stringc out(left ? left : "");
    out.append(right);
    return out;
}

stringw operator+(const wchar_t* left, const stringw& right) {
    stringw out(left ? left : L"");
    out.append(right);
    return out;
}

}  // namespace engine
