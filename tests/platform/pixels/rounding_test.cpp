#include "platform/pixels/rounding.h"

#include <gtest/gtest.h>

#include <limits>

namespace vimbrel {
namespace {

TEST(Rounding, NearestWithTiesAwayFromZero) {
  EXPECT_EQ(to_int16(2.5f), 3);
  EXPECT_EQ(to_int16(-2.5f), -3);
  EXPECT_EQ(to_int16(2.49f), 2);
  EXPECT_EQ(to_int16(-0.4f), 0);
  EXPECT_EQ(to_pixel(0.5f), 1);
  EXPECT_EQ(to_pixel(-1.5f), -2);
  EXPECT_EQ(to_pixel(99999.4f), 99999);
}

TEST(Rounding, SaturatesInsteadOfWrapping) {
  EXPECT_EQ(to_int16(40000.0f), 32767);
  EXPECT_EQ(to_int16(-40000.0f), -32768);
  EXPECT_EQ(to_int16(std::numeric_limits<float>::infinity()), 32767);
  EXPECT_EQ(to_int16(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(to_pixel(1e20f), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(to_pixel(-1e20f), std::numeric_limits<std::int32_t>::min());
}

}  // namespace
}  // namespace vimbrel
