#include "ui/common/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

namespace dvx {
namespace {

TEST(DpiScale, RoundsHalfAwayFromZeroLikeMulDiv) {
  // The main window's numbers at 150 %.
  EXPECT_EQ(scaleForDpi(926, 144), 1389);
  EXPECT_EQ(scaleForDpi(467, 144), 701);  // 700.5
  EXPECT_EQ(scaleForDpi(7, 144), 11);     // 10.5
  EXPECT_EQ(scaleForDpi(905, 144), 1358);
  EXPECT_EQ(scaleForDpi(-7, 144), -11);   // a negative margin rounds away from zero too
  EXPECT_EQ(scaleForDpi(-12, 144), -18);  // a font height as CreateFont takes it
  // 125 %: 1.25 down, 2.5 up.
  EXPECT_EQ(scaleForDpi(1, 120), 1);
  EXPECT_EQ(scaleForDpi(2, 120), 3);
  EXPECT_EQ(scaleForDpi(-2, 120), -3);
  EXPECT_EQ(scaleForDpi(16, 120), 20);
  EXPECT_EQ(rescale(1389, 96, 144), 926);
  EXPECT_EQ(rescale(3, 1, 2), 2);  // 1.5
}

TEST(DpiScale, NinetySixAndNonsenseChangeNothing) {
  for (int32_t v : {INT32_MIN, -467, -1, 0, 1, 7, 926, INT32_MAX}) {
    EXPECT_EQ(scaleForDpi(v, 96), v);
    EXPECT_EQ(rescale(v, 144, 0), v);
    EXPECT_EQ(rescale(v, -5, 96), v);
  }
  EXPECT_EQ(usableDpi(0), 96);
  EXPECT_EQ(usableDpi(-144), 96);
  EXPECT_EQ(usableDpi(65535), 96);
  EXPECT_EQ(usableDpi(144), 144);
  EXPECT_EQ(usableDpi(288), 288);
  // No overflow on the way: the product is wider than 32 bits.
  EXPECT_EQ(scaleForDpi(INT32_MAX / 2, 192), INT32_MAX - 1);
  EXPECT_EQ(scaleForDpi(INT32_MAX, 192), INT32_MAX);
  EXPECT_EQ(scaleForDpi(INT32_MIN, 192), INT32_MIN);
}

TEST(DpiScale, ScaledAndBackIsTheDesignedNumberAtEveryCommonScale) {
  for (int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    for (int32_t v = -300; v <= 2000; ++v) {
      ASSERT_EQ(rescale(scaleForDpi(v, dpi), 96, dpi), v) << v << " at " << dpi;
    }
  }
}

TEST(DpiScale, BoxesKeepTheirProportions) {
  EXPECT_EQ(scaleBox(DpiBox{7, 7, 905, 346}, 144), (DpiBox{11, 11, 1358, 519}));
  EXPECT_EQ(scaleBox(DpiBox{464, 366, 83, 28}, 144), (DpiBox{696, 549, 125, 42}));
  EXPECT_EQ(scaleBox(DpiBox{17, 13, 385, 24}, 120), (DpiBox{21, 16, 481, 30}));
  EXPECT_EQ(scaleBox(DpiBox{464, 366, 83, 28}, 96), (DpiBox{464, 366, 83, 28}));
}

TEST(DpiScale, ColumnWidthsFollowTheDesignUnlessTheUserChangedThem) {
  // The designed 150 through 125 % and 150 %: 187.5 rounds up, and 188 at
  // 120 scaled on to 144 would be 225.6; the design says 225.
  EXPECT_EQ(rescaleKeepingDesign(150, 150, 96, 120), 188);
  EXPECT_EQ(rescaleKeepingDesign(188, 150, 120, 144), 225);
  EXPECT_EQ(rescaleKeepingDesign(225, 150, 144, 96), 150);
  // A width of the user's own is scaled in proportion.
  EXPECT_EQ(rescaleKeepingDesign(100, 150, 96, 144), 150);
  EXPECT_EQ(rescaleKeepingDesign(150, 46, 144, 96), 100);
  // A hidden column stays hidden.
  EXPECT_EQ(rescaleKeepingDesign(0, 0, 96, 192), 0);
}

}  // namespace
}  // namespace dvx
