#include "math/Vector.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "support/Vectors.h"

TEST(VectorTest, NewVectorsAreZeroAndEmptyVectorsStayEmpty) {
    EXPECT_VEC_EQ(Vector(3), 0, 0, 0);
    const Vector empty(0);
    EXPECT_EQ(empty.norm(), 0.0);
    EXPECT_EQ(empty.dot(vec(1, 2, 3)), 0.0);
    EXPECT_EQ((empty + empty).dimension(), 0);
    EXPECT_EQ((empty - empty).dimension(), 0);
    EXPECT_EQ((empty * 2.0).dimension(), 0);
    EXPECT_EQ((-empty).dimension(), 0);
}

TEST(VectorTest, CrossProductIsRightHanded) {
    EXPECT_VEC_EQ(vec(1, 0, 0).cross(vec(0, 1, 0)), 0, 0, 1);
    EXPECT_VEC_EQ(vec(0, 1, 0).cross(vec(1, 0, 0)), 0, 0, -1);
    const Vector a = vec(1.5f, -2.25f, 7.0f);
    EXPECT_VEC_EQ(a.cross(a), 0, 0, 0);
}

TEST(VectorTest, NormAndDotSumInDouble) {
    EXPECT_EQ(vec(3, 4, 0).norm(), 5.0);
    EXPECT_EQ(vec(1, 2, 3).dot(vec(4, 5, 6)), 32.0);
    // 0.1f squared three times is not a float: the sum must not be rounded to one.
    const float tenth = 0.1f;
    const double expected = std::sqrt(3.0 * double(tenth) * double(tenth));
    EXPECT_EQ(vec(tenth, tenth, tenth).norm(), expected);
}

TEST(VectorTest, ScalingRoundsOnceFromDouble) {
    // 0.3f times the double 1/3 is 0.100000001f; with the factor first rounded to float, 0.100000009f.
    const double third = 1.0 / 3.0;
    const Vector a = vec(3, 0.3f, 1e-3f);
    const struct {
        const char* operation;
        Vector result;
    } cases[] = {{"a * third", a * third}, {"third * a", third * a}, {"a / 3", a / 3.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        EXPECT_VEC_EQ(c.result, 1, 0.100000001f, 0.000333333359f);
    }
    Vector b = a;
    b *= third;
    EXPECT_VEC_EQ(b, 1, 0.100000001f, 0.000333333359f);
    b = a;
    b /= 3.0;
    EXPECT_VEC_EQ(b, 1, 0.100000001f, 0.000333333359f);
}

TEST(VectorTest, CrossProductFormedInDouble) {
    // Each component is a difference of two products formed in double and rounded once: in float,
    // 0.3f * 2.3f ... the second component would come out as -23.7400017 instead.
    const Vector c = vec(1.1f, 2.3f, 3.7f).cross(vec(-4.9f, 0.3f, 5.1f));
    EXPECT_VEC_EQ(c, 10.6199999f, -23.7399998f, 11.6000004f);
}

TEST(VectorTest, CopiesAreDeepAndAssignmentTakesTheDimension) {
    Vector a = vec(1, 2, 3);
    Vector copy = a;
    copy[0] = 9;
    EXPECT_EQ(a[0], 1.0f);

    Vector big(7);
    big[6] = 4;
    Vector bigCopy = big;
    bigCopy[6] = 5;
    EXPECT_EQ(big[6], 4.0f);

    a = big;
    EXPECT_EQ(a.dimension(), 7);
    EXPECT_EQ(a[6], 4.0f);
    a = vec(1, 2, 3);
    EXPECT_EQ(a.dimension(), 3);

    Vector& same = a;
    a = same;
    EXPECT_VEC_EQ(a, 1, 2, 3);
}

TEST(VectorTest, InPlaceAndElementwiseOperations) {
    Vector a = vec(1, -2, 3);
    a -= a;
    EXPECT_VEC_EQ(a, 0, 0, 0);
    EXPECT_VEC_EQ(vec(1, 2, 3) - vec(1, 2, 3), 0, 0, 0);
    EXPECT_VEC_EQ(vec(1, 2, 3) + vec(0.5f, -2, 1), 1.5f, 0, 4);
    EXPECT_VEC_EQ(-vec(1, -2, 0), -1, 2, 0);
    Vector b = vec(1, 2, 3);
    b += vec(1, 1, 1);
    EXPECT_VEC_EQ(b, 2, 3, 4);

}

// Vectors longer than three take the general loops, which the game itself never runs: every operation
// on five components, worked out by hand. 0.3f times the double 1/3 is 0.100000001f; with the factor
// first rounded to float it would be 0.100000009f.
TEST(VectorTest, EveryOperationOnFiveComponents) {
    using Five = std::array<float, 5>;
    const auto five = [](const Five& c) {
        Vector v(5);
        for (int i = 0; i < 5; ++i) v[i] = c[i];
        return v;
    };
    const Vector a = five({1, -2, 0.3f, 4, 5});
    const Vector b = five({0.25f, 3, -1, 2, -8});
    const double third = 1.0 / 3.0;
    Vector sum = a, difference = a, scaled = a, divided = a;
    sum += b;
    difference -= b;
    scaled *= third;
    divided /= 3.0;
    Vector assigned(2);
    assigned = a;

    const struct {
        const char* operation;
        Vector result;
        Five expected;
    } cases[] = {
        {"a + b", a + b, {1.25f, 1, -0.699999988f, 6, -3}},
        {"a += b", sum, {1.25f, 1, -0.699999988f, 6, -3}},
        {"a - b", a - b, {0.75f, -5, 1.29999995f, 2, 13}},
        {"a -= b", difference, {0.75f, -5, 1.29999995f, 2, 13}},
        {"-a", -a, {-1, 2, -0.3f, -4, -5}},
        {"a * third", a * third, {0.333333343f, -0.666666687f, 0.100000001f, 1.33333337f, 1.66666663f}},
        {"third * a", third * a, {0.333333343f, -0.666666687f, 0.100000001f, 1.33333337f, 1.66666663f}},
        {"a *= third", scaled, {0.333333343f, -0.666666687f, 0.100000001f, 1.33333337f, 1.66666663f}},
        {"a / 3", a / 3.0, {0.333333343f, -0.666666687f, 0.100000001f, 1.33333337f, 1.66666663f}},
        {"a /= 3", divided, {0.333333343f, -0.666666687f, 0.100000001f, 1.33333337f, 1.66666663f}},
        {"copy of a", Vector(a), {1, -2, 0.3f, 4, 5}},
        {"a assigned to a 2-vector", assigned, {1, -2, 0.3f, 4, 5}},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(c.result.dimension(), 5) << c.operation;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(c.result[i], c.expected[i]) << c.operation << ", component " << i;
    }
    // Summed in double from the first component on.
    EXPECT_EQ(a.dot(b), 0.25 - 6.0 - double(0.3f) + 8.0 - 40.0);
    EXPECT_EQ(a.norm(), std::sqrt(1.0 + 4.0 + double(0.3f) * double(0.3f) + 16.0 + 25.0));
}

TEST(VectorTest, DivisionByZeroGivesInfinitiesAndNaN) {
    const Vector r = vec(1, 0, -1) / 0.0;
    EXPECT_EQ(r[0], std::numeric_limits<float>::infinity());
    EXPECT_TRUE(std::isnan(r[1]));
    EXPECT_EQ(r[2], -std::numeric_limits<float>::infinity());
}

#ifndef NDEBUG
TEST(VectorDeathTest, DebugBuildsCatchMisuse) {
    EXPECT_DEATH(Vector(3)[3], "");
    EXPECT_DEATH(Vector(3) + Vector(2), "");
    EXPECT_DEATH(Vector(2).cross(Vector(3)), "");
}
#endif
