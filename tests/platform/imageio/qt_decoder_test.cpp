#include "platform/imageio/qt_decoder.h"

#include <gtest/gtest.h>

#include <QImageReader>
#include <limits>

namespace vimbrel {
namespace {

TEST(QtAllocationAllowance, RaisesQtsLimitOnlyWhileItLives) {
  const int before = QImageReader::allocationLimit();
  ASSERT_GT(before, 0);
  {
    const QtAllocationAllowance big(static_cast<std::uint64_t>(before + 10) << 20);
    EXPECT_EQ(QImageReader::allocationLimit(), before + 11);
    {
      const QtAllocationAllowance small(1);  // never lowers it
      EXPECT_EQ(QImageReader::allocationLimit(), before + 11);
    }
    EXPECT_EQ(QImageReader::allocationLimit(), before + 11);
  }
  EXPECT_EQ(QImageReader::allocationLimit(), before);
  {
    const QtAllocationAllowance beyond_any_limit(std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(QImageReader::allocationLimit(), 0);  // none
  }
  EXPECT_EQ(QImageReader::allocationLimit(), before);
}

}  // namespace
}  // namespace vimbrel
