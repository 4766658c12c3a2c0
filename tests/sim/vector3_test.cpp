#include <gtest/gtest.h>
#include "sim/vector3.h"
TEST(Vector3Test, Placeholder) { EXPECT_EQ(Vector3().x, 0.0f); }
