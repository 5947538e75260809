#include <gtest/gtest.h>

#include "bitmap/bitmap.h"

TEST(Bitmap, EmptyInputFailsLoad) {
  gridseek::位图 map;
  EXPECT_FALSE(map.载入数据(std::span<const std::uint8_t>()));
}
