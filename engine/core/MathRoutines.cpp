#include "engine/core/MathRoutines.h"
#include <array>
#include <cmath>

namespace engine {

namespace {

// Sines of the whole degrees 0 to 359. The first quadrant is computed and the
// others mirrored from it, so that 0, 90, 180 and 270 degrees are exact and the
// table is symmetric.
const std::array<float, 360>& sineTable() {
    static const std::array<float, 360> table = [] {
        std::array<float, 360> t{};
        const double kRadiansPerDegree = 3.14159265358979323846 / 180.0;
        for (int32_t d = 0; d <= 90; ++d) {
            const float s = (d == 90) ? 1.0f : static_cast<float>(std::sin(d * kRadiansPerDegree));
            t[d] = s;
            t[180 - d] = s;
            if (d > 0) {
                t[180 + d] = -s;
                t[360 - d] = -s;
            }
        }
        return t;
    }();
    return table;
}

int32_t degreeIndex(int64_t degrees) {
    int64_t r = degrees % 360;
    if (r < 0) r += 360;
    return static_cast<int32_t>(r);
}

uint32_t multiplyChannel(uint32_t a, uint32_t b) {
    // In float, as the product has always been computed: 255 * 255 rounds to 255.
    const float kInv255 = 1.0f / 255.0f;
    return static_cast<uint32_t>(static_cast<float>(a * b) * kInv255);
}

}  // namespace

SColor multiplyColors(SColor a, SColor b) {
    return SColor(multiplyChannel(a.getAlpha(), b.getAlpha()), multiplyChannel(a.getRed(), b.getRed()),
                  multiplyChannel(a.getGreen(), b.getGreen()), multiplyChannel(a.getBlue(), b.getBlue()));
}

void rotateVector2dDegrees(vector2df& vector, int32_t degrees) {
    const auto& table = sineTable();
    const float s = table[degreeIndex(degrees)];
    // 64-bit so that adding the quarter turn cannot overflow.
    const float c = table[degreeIndex(static_cast<int64_t>(degrees) + 90)];
    const float x = vector.X;
    const float y = vector.Y;
    vector.X = x * c - y * s;
    vector.Y = x * s + y * c;
}

float sineOfDegrees(int64_t degrees) { return sineTable()[degreeIndex(degrees)]; }

void transformVect2D(const matrix4& matrix, vector2df& point) {
    const float x = point.X;
    const float y = point.Y;
    point.X = matrix[0] * x + matrix[4] * y + matrix[12];
    point.Y = matrix[1] * x + matrix[5] * y + matrix[13];
}

const matrix4& identityMatrix() {
    static const matrix4 identity(matrix4::EM4CONST_IDENTITY);
    return identity;
}

int32_t saturatingInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

int32_t roundedInt(double value) { return saturatingInt(std::floor(value + 0.5)); }

int32_t saturatingAdd(int32_t a, int32_t b) {
    const int64_t sum = static_cast<int64_t>(a) + b;
    if (sum > INT32_MAX) return INT32_MAX;
    if (sum < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(sum);
}

}  // namespace engine
