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

}  // namespace engine
