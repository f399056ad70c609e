#include "ui/list/cell_colour_registry.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace dvx {
namespace {

constexpr ListId kList = 0x1000, kOther = 0x2000;
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kRed = 0x0000FF, kBlue = 0xFF0000;

TEST(CellColourMap, RecordsReplacesAndRemoves) {
  CellColourMap map;
  EXPECT_FALSE(map.installed());
  EXPECT_TRUE(map.setCellColour(kList, 3, 5, kRed, std::nullopt, kBlack, kWhite));
  EXPECT_TRUE(map.installed());
  EXPECT_FALSE(map.setCellColour(kList, 3, 5, kBlue, std::nullopt, kBlack, kWhite));
  ASSERT_EQ(map.entries(kList).size(), 1u);
  EXPECT_EQ(map.lookup(kList, 3, 5), (CellColours{kBlue, kWhite}));
  EXPECT_EQ(map.lookup(kList, 3, 4), std::nullopt);
  EXPECT_EQ(map.lookup(kOther, 3, 5), std::nullopt);

  // The list's own colours with the background given remove the entry.
  map.setCellColour(kList, 3, 5, kBlack, kWhite, kBlack, kWhite);
  EXPECT_EQ(map.lookup(kList, 3, 5), std::nullopt);
  EXPECT_TRUE(map.entries(kList).empty());
  EXPECT_TRUE(map.hasRecord(kList));

  // A new cell in the list's own colours is not stored; one with only its
  // background differing is.
  map.setCellColour(kList, 1, 1, kBlack, std::nullopt, kBlack, kWhite);
  EXPECT_EQ(map.lookup(kList, 1, 1), std::nullopt);
  map.setCellColour(kList, 1, 1, kBlack, kBlue, kBlack, kWhite);
  EXPECT_EQ(map.lookup(kList, 1, 1), (CellColours{kBlack, kBlue}));
}

TEST(CellColourMap, OmittedBackgroundCountsAsZeroWhenRemoving) {
  CellColourMap map;
  map.setCellColour(kList, 0, 5, kRed, std::nullopt, kBlack, kWhite);
  // Omitted (0) does not equal a white list background: replaced, not removed.
  map.setCellColour(kList, 0, 5, kBlack, std::nullopt, kBlack, kWhite);
  EXPECT_EQ(map.lookup(kList, 0, 5), (CellColours{kBlack, kWhite}));
  // On a black list background the omitted background matches: removed.
  map.setCellColour(kList, 0, 6, kRed, std::nullopt, kWhite, kBlack);
  map.setCellColour(kList, 0, 6, kWhite, std::nullopt, kWhite, kBlack);
  EXPECT_EQ(map.lookup(kList, 0, 6), std::nullopt);
}

TEST(CellColourMap, ReplacingAListsColoursEqualsClearingAndRecordingEachCell) {
  // Out of order, twice the same cell, and cells in the list's own text
  // colour (on a black list background, where an omitted background removes).
  const std::vector<CellColourMap::TextColour> cells = {
      {4, 5, kRed}, {1, 5, kBlue}, {9, 5, kRed}, {1, 5, kRed}, {2, 5, kWhite}, {9, 5, kWhite}, {7, 2, kWhite}};
  for (uint32_t background : {kWhite, kBlack}) {
    SCOPED_TRACE(background);
    CellColourMap one, bulk;
    for (CellColourMap* m : {&one, &bulk}) {
      m->setCellColour(kList, 3, 5, kRed, std::nullopt, kWhite, background);  // cleared first
      m->setCellColour(kOther, 0, 5, kBlue, std::nullopt, kWhite, background);
    }
    one.clearCellColours(kList);
    for (const auto& c : cells) one.setCellColour(kList, c.row, c.column, c.text, std::nullopt, kWhite, background);
    EXPECT_FALSE(bulk.replaceCellColours(kList, cells, kWhite, background));
    const auto a = one.entries(kList), b = bulk.entries(kList);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].row, b[i].row);
      EXPECT_EQ(a[i].column, b[i].column);
      EXPECT_EQ(a[i].colours, b[i].colours);
    }
    EXPECT_EQ(bulk.lookup(kList, 3, 5), std::nullopt);
    EXPECT_EQ(bulk.lookup(kList, 1, 5), (CellColours{kRed, background}));
    EXPECT_EQ(bulk.entries(kOther).size(), 1u);  // other lists keep theirs
  }
  CellColourMap fresh;
  EXPECT_TRUE(fresh.replaceCellColours(kList, {}, kWhite, kBlack));  // installs like the first record
  EXPECT_TRUE(fresh.installed());
}

TEST(CellColourMap, ClearAndDiscard) {
  CellColourMap map;
  EXPECT_FALSE(map.clearCellColours(kList));  // not installed yet
  EXPECT_FALSE(map.hasRecord(kList));
  map.setCellColour(kList, 0, 5, kRed, std::nullopt, kBlack, kWhite);
  map.setCellColour(kOther, 0, 5, kBlue, std::nullopt, kBlack, kWhite);
  map.setPreviousProcedure(0xABCD);
  EXPECT_TRUE(map.clearCellColours(kList));
  EXPECT_TRUE(map.hasRecord(kList));
  EXPECT_TRUE(map.entries(kList).empty());
  EXPECT_EQ(map.lookup(kOther, 0, 5), (CellColours{kBlue, kWhite}));
  EXPECT_TRUE(map.clearCellColours(0x3000));  // a list without a record
  EXPECT_FALSE(map.hasRecord(0x3000));

  // The parent closes: everything goes and the procedure is handed back.
  EXPECT_EQ(map.discardAll(), 0xABCDu);
  EXPECT_FALSE(map.installed());
  EXPECT_FALSE(map.hasRecord(kOther));
  EXPECT_EQ(map.previousProcedure(), 0u);
  EXPECT_FALSE(map.clearCellColours(kOther));
  // The next recording installs again.
  EXPECT_TRUE(map.setCellColour(kList, 2, 5, kRed, std::nullopt, kBlack, kWhite));
  EXPECT_EQ(map.entries(kList).size(), 1u);
}

TEST(CellColourMap, WritersAndPainterAtOnce) {
  CellColourMap map;
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([&map, t] {
      for (int row = 0; row < 500; ++row) map.setCellColour(kList, row, t, kRed, std::nullopt, kBlack, kWhite);
    });
  for (int i = 0; i < 2000; ++i) {
    const auto found = map.lookup(kList, i % 500, i % 4);
    if (found) {
      ASSERT_EQ(*found, (CellColours{kRed, kWhite}));
    }
  }
  for (auto& w : writers) w.join();
  EXPECT_EQ(map.entries(kList).size(), 2000u);
}

}  // namespace
}  // namespace dvx
