#include "ui/list/anchor_layout.h"

#include <gtest/gtest.h>

#include <random>

namespace dvx {
namespace {

// The main window as designed: outer 926 x 467 at (50, 50), a client area of
// 910 x 420, so frames of 8 and a caption plus top frame of 39.
constexpr WindowId kParent = 0x10;
const AnchorRect kParentRect{50, 50, 976, 517};
constexpr int32_t kClientW = 910, kClientH = 420;

AnchorRect onScreen(int32_t x, int32_t y, int32_t w, int32_t h) {
  return AnchorRect{50 + 8 + x, 50 + 39 + y, 50 + 8 + x + w, 50 + 39 + y + h};
}

struct Designed {
  WindowId id;
  int type;
  AnchorPlacement at;
};
const Designed kControls[] = {
    {0x21, 1, {7, 7, 905, 346}},    // domain list
    {0x22, 2, {17, 368, 407, 24}},  // label
    {0x23, 2, {340, 369, 113, 24}}, // check box
    {0x24, 3, {464, 366, 83, 28}},  // buttons
    {0x25, 3, {800, 395, 83, 28}},
};

AnchorRegistry mainWindow() {
  AnchorRegistry reg;
  for (const auto& c : kControls)
    reg.anchor(c.type, kParent, c.id, kParentRect, kClientW, kClientH,
               onScreen(c.at.left, c.at.top, c.at.width, c.at.height));
  return reg;
}

AnchorPlacement placeOf(const AnchorRegistry& reg, WindowId id, int32_t w, int32_t h) {
  for (const auto& m : reg.layout(kParent, w, h))
    if (m.control == id) return m.placement;
  ADD_FAILURE() << "control not laid out";
  return {};
}

TEST(AnchorLayout, MeasuresOffsetsFromTheFrames) {
  const AnchorRegistry reg = mainWindow();
  ASSERT_EQ(reg.records().size(), 5u);
  const AnchorRecord& list = reg.records()[0];
  EXPECT_EQ(list.left, 7);
  EXPECT_EQ(list.top, 7);
  EXPECT_EQ(list.rightMargin, kClientW - 7 - 905);
  EXPECT_EQ(list.bottomMargin, kClientH - 7 - 346);
  EXPECT_EQ(list.width, 905);
  EXPECT_EQ(list.height, 346);
  // An odd frame difference truncates: 17 / 2 = 8, caption 467 - 420 - 8.
  const AnchorRecord odd = measureAnchor(1, 2, AnchorRect{0, 0, 927, 467}, 910, 420,
                                         AnchorRect{20, 50, 30, 60}, *anchorFlags(1));
  EXPECT_EQ(odd.left, 12);
  EXPECT_EQ(odd.top, 11);
  EXPECT_EQ(odd.rightMargin, 927 - 30 - 8);
  EXPECT_EQ(odd.bottomMargin, 467 - 60 - 8);
}

TEST(AnchorLayout, WiderAndTaller) {
  const AnchorRegistry reg = mainWindow();
  for (const auto& c : kControls) EXPECT_EQ(placeOf(reg, c.id, kClientW, kClientH), c.at);

  const auto list = placeOf(reg, 0x21, kClientW + 100, kClientH);
  EXPECT_EQ(list, (AnchorPlacement{7, 7, 1005, 346}));
  EXPECT_EQ(placeOf(reg, 0x22, kClientW + 100, kClientH), kControls[1].at);
  EXPECT_EQ(placeOf(reg, 0x23, kClientW + 100, kClientH), kControls[2].at);
  EXPECT_EQ(placeOf(reg, 0x24, kClientW + 100, kClientH), (AnchorPlacement{564, 366, 83, 28}));
  EXPECT_EQ(placeOf(reg, 0x25, kClientW + 100, kClientH), (AnchorPlacement{900, 395, 83, 28}));

  EXPECT_EQ(placeOf(reg, 0x21, kClientW, kClientH + 50), (AnchorPlacement{7, 7, 905, 396}));
  EXPECT_EQ(placeOf(reg, 0x22, kClientW, kClientH + 50), (AnchorPlacement{17, 418, 407, 24}));
  EXPECT_EQ(placeOf(reg, 0x23, kClientW, kClientH + 50), (AnchorPlacement{340, 419, 113, 24}));
  EXPECT_EQ(placeOf(reg, 0x24, kClientW, kClientH + 50), (AnchorPlacement{464, 416, 83, 28}));

  // Shrinking is not clamped.
  EXPECT_EQ(placeOf(reg, 0x21, 5, 10).width, 5 - 7 - (kClientW - 7 - 905));
  EXPECT_LT(placeOf(reg, 0x21, 5, 10).height, 0);
}

TEST(AnchorLayout, BackToDesignedSizeWithoutDrift) {
  const AnchorRegistry reg = mainWindow();
  std::mt19937 rng(3);
  std::uniform_int_distribution<int32_t> w(0, 2000), h(0, 1200);
  for (int i = 0; i < 500; ++i) reg.layout(kParent, w(rng), h(rng));
  for (const auto& c : kControls) EXPECT_EQ(placeOf(reg, c.id, kClientW, kClientH), c.at);
}

TEST(AnchorLayout, OtherTypes) {
  const AnchorRect ctl = onScreen(100, 50, 40, 30);
  const auto place = [&](int type) {
    return placeAnchored(measureAnchor(kParent, 1, kParentRect, kClientW, kClientH, ctl,
                                       *anchorFlags(type)),
                         kClientW + 10, kClientH + 20);
  };
  EXPECT_EQ(place(4), (AnchorPlacement{100, 50, 40, 50}));
  EXPECT_EQ(place(5), (AnchorPlacement{100, 70, 50, 30}));
  EXPECT_EQ(place(6), (AnchorPlacement{110, 50, 40, 50}));
  EXPECT_EQ(anchorFlags(2), (AnchorFlags{true, false, false, true}));
  EXPECT_EQ(anchorFlags(3), (AnchorFlags{false, false, true, true}));
}

TEST(AnchorLayout, RegistrationRules) {
  AnchorRegistry reg;
  const AnchorRect ctl = onScreen(10, 10, 20, 20);
  EXPECT_EQ(reg.anchor(0, kParent, 1, kParentRect, kClientW, kClientH, ctl), AnchorResult::kIgnored);
  EXPECT_EQ(reg.anchor(7, kParent, 1, kParentRect, kClientW, kClientH, ctl), AnchorResult::kIgnored);
  EXPECT_TRUE(reg.records().empty());
  EXPECT_FALSE(reg.isAnchoredParent(kParent));

  EXPECT_EQ(reg.anchor(3, kParent, 1, kParentRect, kClientW, kClientH, ctl),
            AnchorResult::kRegisteredNewParent);
  reg.setPreviousProcedure(kParent, 0x777);
  EXPECT_EQ(reg.anchor(2, kParent, 2, kParentRect, kClientW, kClientH, ctl),
            AnchorResult::kRegistered);
  // The same control again: one record, in its first place, with new values.
  EXPECT_EQ(reg.anchor(1, kParent, 1, kParentRect, kClientW, kClientH, onScreen(5, 6, 7, 8)),
            AnchorResult::kRegistered);
  ASSERT_EQ(reg.records().size(), 2u);
  EXPECT_EQ(reg.records()[0].control, 1u);
  EXPECT_EQ(reg.records()[0].flags, *anchorFlags(1));
  EXPECT_EQ(reg.records()[0].left, 5);
  EXPECT_EQ(reg.parentCount(), 1u);
  EXPECT_EQ(reg.previousProcedure(kParent), 0x777u);

  // Another parent gets its own subclass; layout keeps to one parent.
  EXPECT_EQ(reg.anchor(1, 0x99, 3, kParentRect, kClientW, kClientH, ctl),
            AnchorResult::kRegisteredNewParent);
  EXPECT_EQ(reg.layout(kParent, 100, 100).size(), 2u);
  EXPECT_EQ(reg.layout(0x99, 100, 100).size(), 1u);
}

}  // namespace
}  // namespace dvx

namespace dvx {
namespace {

// The same window at 150 %: designed numbers times 1.5 within a pixel, the
// sizes of controls that do not stretch exactly.
constexpr int32_t kClientW144 = 1365, kClientH144 = 630;

int32_t times15(int32_t v) { return v * 3 / 2 + (v % 2 != 0 ? (v > 0 ? 1 : -1) : 0); }

void expectScaled(const AnchorPlacement& got, const AnchorPlacement& at96) {
  EXPECT_NEAR(got.left, times15(at96.left), 1);
  EXPECT_NEAR(got.top, times15(at96.top), 1);
  EXPECT_NEAR(got.width, times15(at96.width), 1);
  EXPECT_NEAR(got.height, times15(at96.height), 1);
}

TEST(AnchorLayoutAtScale, MeasuredAtNinetySixLaidOutAtOneHundredFortyFour) {
  AnchorRegistry reg = mainWindow();
  EXPECT_EQ(reg.parentDpi(kParent), 96);
  reg.setParentDpi(kParent, 144);
  EXPECT_EQ(reg.parentDpi(kParent), 144);
  for (const auto& c : kControls) {
    SCOPED_TRACE(c.id);
    const AnchorPlacement p = placeOf(reg, c.id, kClientW144, kClientH144);
    expectScaled(p, c.at);
    if (c.type != 1) {
      EXPECT_EQ(p.width, times15(c.at.width));
      EXPECT_EQ(p.height, times15(c.at.height));
    }
  }
  // Wider by 150 pixels: the stretching list and the right-anchored buttons
  // take all of it, the offsets stay scaled.
  const AnchorPlacement list = placeOf(reg, 0x21, kClientW144 + 150, kClientH144);
  EXPECT_EQ(list.left, 11);
  EXPECT_EQ(list.width, placeOf(reg, 0x21, kClientW144, kClientH144).width + 150);
  EXPECT_EQ(placeOf(reg, 0x25, kClientW144 + 150, kClientH144).left,
            placeOf(reg, 0x25, kClientW144, kClientH144).left + 150);
  EXPECT_EQ(placeOf(reg, 0x22, kClientW144, kClientH144 + 60).top,
            placeOf(reg, 0x22, kClientW144, kClientH144).top + 60);
}

TEST(AnchorLayoutAtScale, MeasuredAtOneHundredFortyFourStaysPut) {
  // Created on a 150 % screen: the controls already stand at their scaled
  // places, so laying out at the same size moves nothing.
  AnchorRegistry reg;
  const AnchorRect parent{75, 75, 75 + 1389, 75 + 701};
  const int32_t frame = 12, caption = 701 - kClientH144 - frame;
  for (const auto& c : kControls) {
    const AnchorPlacement s{times15(c.at.left), times15(c.at.top), times15(c.at.width), times15(c.at.height)};
    reg.anchor(c.type, kParent, c.id, parent, 1389 - 2 * frame, kClientH144,
               AnchorRect{75 + frame + s.left, 75 + caption + s.top, 75 + frame + s.left + s.width,
                          75 + caption + s.top + s.height},
               144);
  }
  EXPECT_EQ(reg.parentDpi(kParent), 144);
  for (const auto& c : kControls) {
    SCOPED_TRACE(c.id);
    const AnchorPlacement p = placeOf(reg, c.id, 1389 - 2 * frame, kClientH144);
    EXPECT_EQ(p, (AnchorPlacement{times15(c.at.left), times15(c.at.top), times15(c.at.width),
                                  times15(c.at.height)}));
  }
  // Moved to a 96-DPI screen the designed layout comes back within a pixel.
  reg.setParentDpi(kParent, 96);
  for (const auto& c : kControls) {
    SCOPED_TRACE(c.id);
    const AnchorPlacement p = placeOf(reg, c.id, 1389 / 3 * 2 - 16, kClientH);
    EXPECT_NEAR(p.left, c.at.left, 1);
    EXPECT_NEAR(p.top, c.at.top, 1);
    if (c.type != 1) {
      EXPECT_EQ(p.width, c.at.width);
    }
  }
}

TEST(AnchorLayoutAtScale, ATripThroughOtherScreensEndsWhereItStarted) {
  AnchorRegistry reg = mainWindow();
  std::mt19937 rng(7);
  std::uniform_int_distribution<int32_t> w(300, 3000), h(200, 2000);
  for (int dpi : {120, 144, 192, 168, 96, 120, 240}) {
    reg.setParentDpi(kParent, dpi);
    for (int i = 0; i < 20; ++i) reg.layout(kParent, w(rng), h(rng));
  }
  reg.setParentDpi(kParent, 96);
  for (const auto& c : kControls) EXPECT_EQ(placeOf(reg, c.id, kClientW, kClientH), c.at);
  // Re-registering at another DPI measures afresh at that DPI.
  reg.anchor(3, kParent, 0x25, kParentRect, kClientW, kClientH, onScreen(800, 395, 83, 28), 120);
  EXPECT_EQ(reg.parentDpi(kParent), 120);
  EXPECT_EQ(placeOf(reg, 0x25, kClientW, kClientH), kControls[4].at);
  // Nonsense and unknown parents.
  reg.setParentDpi(kParent, 0);
  EXPECT_EQ(reg.parentDpi(kParent), 96);
  EXPECT_EQ(reg.parentDpi(0x4242), 0);
}

}  // namespace
}  // namespace dvx
