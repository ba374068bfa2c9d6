#pragma once
// Small arithmetic on colours, 2D vectors and matrices, shared by the nodes.
#include "engine/core/Types.h"
#include <cstdint>

namespace engine {

// Channel by channel a * b / 255, truncated; white times any colour gives that colour.
SColor multiplyColors(SColor a, SColor b);

// Rotates the vector by whole degrees (any sign, any size) through a table of sines,
// so that quarter turns are exact.
void rotateVector2dDegrees(vector2df& vector, int32_t degrees);

// The sine of whole degrees (any sign, any size) from the same table.
float sineOfDegrees(int64_t degrees);

// Applies the matrix to a 2D point: x' = m0 x + m4 y + m12, y' = m1 x + m5 y + m13.
void transformVect2D(const matrix4& matrix, vector2df& point);

// The identity matrix, made once.
const matrix4& identityMatrix();

// Every conversion of a float to an int goes through these: a plain cast of a
// value outside the int range (or of NaN) is undefined, and a damaged file can
// put any number into a float. Past the range a value gives the range's end;
// NaN gives 0.
// Truncated toward zero, like a cast.
int32_t saturatingInt(double value);
// Rounded to the nearest whole number, halves up (floor(value + 0.5)).
int32_t roundedInt(double value);
// a + b, held within the int range.
int32_t saturatingAdd(int32_t a, int32_t b);

}  // namespace engine
