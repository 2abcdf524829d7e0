#include "web/gl/Matrix.h"

#include <gtest/gtest.h>

using fixedgl::Matrix;

TEST(MatrixTest, InverseOrIdentity) {
    const Matrix scale{2, 0, 0, 0, 0, 4, 0, 0, 0, 0, 8, 0, 1, 2, 3, 1};
    const Matrix inverse = fixedgl::inverseOrIdentity(scale);
    // The inverse of scale-then-translate: x' = (x - 1) / 2 and so on.
    const Matrix expected{0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.375f, 1};
    for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(inverse[i], expected[i]) << i;
    const Matrix singular{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(fixedgl::inverseOrIdentity(singular), identity);
    // A quarter turn about z after a move by (5, 6, 7): its first column starts with 0, so rows must
    // be swapped. The inverse turns back (x, y) -> (y, -x) and moves by -(6, -5, 7).
    const Matrix turned{0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
    EXPECT_EQ(fixedgl::inverseOrIdentity(turned), (Matrix{0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, -6, 5, -7, 1}));
}
