#include "engine/core/MathRoutines.h"

#include <gtest/gtest.h>
#include <climits>
#include <cmath>

using namespace engine;

TEST(MathRoutinesTest, MultiplyColors) {
    struct Case {
        uint32_t a, b, expected;
    };
    const Case cases[] = {
        {0xff808080u, 0xffffffffu, 0xff808080u},
        {0xffffffffu, 0xff808080u, 0xff808080u},
        {0xffffffffu, 0xffffffffu, 0xffffffffu},
        {0x12345678u, 0xffffffffu, 0x12345678u},
        {0x12345678u, 0x00000000u, 0x00000000u},
        {0x80ff0000u, 0x80ffffffu, 0x40ff0000u},  // 128 * 128 / 255 = 64.25
        {0xff7f7f7fu, 0xff7f7f7fu, 0xff3f3f3fu},  // 127 * 127 / 255 = 63.25
        {0xff010101u, 0xff010101u, 0xff000000u},  // truncated toward zero
        {0xfffe0000u, 0xfffe0000u, 0xfffd0000u},  // 254 * 254 / 255 = 253.02
    };
    for (const Case& c : cases) {
        EXPECT_EQ(multiplyColors(SColor(c.a), SColor(c.b)).color, c.expected) << std::hex << c.a << " * " << c.b;
    }
}

TEST(MathRoutinesTest, RotateQuarterTurnsAreExact) {
    struct Case {
        int32_t degrees;
        float x, y;
    };
    const Case cases[] = {
        {0, 1, 0},    {90, 0, 1},    {-90, 0, -1}, {180, -1, 0}, {-180, -1, 0}, {270, 0, -1},
        {360, 1, 0},  {450, 0, 1},   {-270, 0, 1}, {-360, 1, 0}, {720, 1, 0},   {-450, 0, -1},
    };
    for (const Case& c : cases) {
        vector2df v(1.0f, 0.0f);
        rotateVector2dDegrees(v, c.degrees);
        EXPECT_EQ(v.X, c.x) << c.degrees;
        EXPECT_EQ(v.Y, c.y) << c.degrees;
    }
}

TEST(MathRoutinesTest, RotateByOtherAngles) {
    vector2df v(2.0f, 0.0f);
    rotateVector2dDegrees(v, 45);
    EXPECT_NEAR(v.X, 1.41421356f, 1e-6f);
    EXPECT_NEAR(v.Y, 1.41421356f, 1e-6f);

    vector2df w(0.0f, 1.0f);
    rotateVector2dDegrees(w, 30);
    EXPECT_NEAR(w.X, -0.5f, 1e-6f);
    EXPECT_NEAR(w.Y, 0.8660254f, 1e-6f);

    // Negative angles mirror positive ones.
    vector2df a(3.0f, 4.0f), b(3.0f, 4.0f);
    rotateVector2dDegrees(a, -17);
    rotateVector2dDegrees(b, 343);
    EXPECT_EQ(a.X, b.X);
    EXPECT_EQ(a.Y, b.Y);
}

TEST(MathRoutinesTest, RotateByExtremeAnglesWrapsWithoutOverflow) {
    struct Case {
        int32_t degrees, equivalent;
    };
    // INT_MAX = 360 * 5965232 + 127; INT_MIN leaves -128, that is 232.
    const Case cases[] = {{INT_MAX, 127}, {INT_MIN, 232}, {INT_MAX - 89, 38}};
    for (const Case& c : cases) {
        vector2df a(1.0f, 2.0f), b(1.0f, 2.0f);
        rotateVector2dDegrees(a, c.degrees);
        rotateVector2dDegrees(b, c.equivalent);
        EXPECT_EQ(a.X, b.X) << c.degrees;
        EXPECT_EQ(a.Y, b.Y) << c.degrees;
    }
}

TEST(MathRoutinesTest, TransformVect2D) {
    matrix4 m(matrix4::EM4CONST_NOTHING);
    for (int i = 0; i < 16; ++i) m[i] = 100.0f + i;  // entries the 2D transform must not read
    m[0] = 2.0f;
    m[1] = 5.0f;
    m[4] = 7.0f;
    m[5] = 3.0f;
    m[12] = 10.0f;
    m[13] = 20.0f;
    vector2df p(1.0f, 2.0f);
    transformVect2D(m, p);
    EXPECT_EQ(p.X, 2.0f * 1 + 7.0f * 2 + 10.0f);
    EXPECT_EQ(p.Y, 5.0f * 1 + 3.0f * 2 + 20.0f);

    matrix4 moved;
    moved.setTranslation(irr::core::vector3df(-4.0f, 6.0f, 9.0f));
    vector2df q(1.5f, -2.5f);
    transformVect2D(moved, q);
    EXPECT_EQ(q.X, -2.5f);
    EXPECT_EQ(q.Y, 3.5f);
}

TEST(MathRoutinesTest, IdentityMatrix) {
    const matrix4& id = identityMatrix();
    EXPECT_EQ(&id, &identityMatrix());
    EXPECT_TRUE(id.isIdentity());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(id[i], (i % 5 == 0) ? 1.0f : 0.0f) << i;
    vector2df p(3.25f, -7.5f);
    transformVect2D(id, p);
    EXPECT_EQ(p.X, 3.25f);
    EXPECT_EQ(p.Y, -7.5f);
}

TEST(MathRoutinesTest, FloatToIntConversionsSaturateInsteadOfOverflowing) {
    const double nan = std::nan("");
    struct Case {
        double value;
        int32_t truncated;
        int32_t rounded;
    };
    const Case cases[] = {
        {0.0, 0, 0},           {2.5, 2, 3},           {-2.5, -2, -2},           {-0.4, 0, 0},
        {1e20, INT_MAX, INT_MAX}, {-1e20, INT_MIN, INT_MIN}, {2147483647.0, INT_MAX, INT_MAX},
        {2147483648.0, INT_MAX, INT_MAX}, {-2147483648.0, INT_MIN, INT_MIN}, {-2147483649.0, INT_MIN, INT_MIN},
        {nan, 0, 0},           {HUGE_VAL, INT_MAX, INT_MAX}, {-HUGE_VAL, INT_MIN, INT_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saturatingInt(c.value), c.truncated) << c.value;
        EXPECT_EQ(roundedInt(c.value), c.rounded) << c.value;
    }
    EXPECT_EQ(saturatingAdd(INT_MAX, 1), INT_MAX);
    EXPECT_EQ(saturatingAdd(INT_MIN, -1), INT_MIN);
    EXPECT_EQ(saturatingAdd(INT_MIN, INT_MAX), -1);
    EXPECT_EQ(saturatingAdd(40, 2), 42);
}
