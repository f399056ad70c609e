// The query job's progress on the taskbar button: rows looked up of rows to
// look up while it runs, nothing once it ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "main_window_harness_win.h"
#include "ui/window/main_window_win.h"

namespace dvx {
namespace {
using namespace testing_win;

class TaskbarTest : public MainWindowHarness {
 protected:
  std::shared_ptr<FakeFetcher> fetcher_ = std::make_shared<FakeFetcher>();
  void click(int id) { SendMessageW(window_->control(id), BM_CLICK, 0, 0); }
};

TEST_F(TaskbarTest, ProgressCountsTheRowsToLookUpAndClearsWhenTheJobEnds) {
  // A stored row is not looked up, so it does not count.
  DomainRecord done = named("done.com");
  done.RegDate = "2001/01/01";
  done.ExpireDate = "2040/01/01";
  done.BaiduS = "1";
  done.LastUpdate = "2024/01/01";
  done.Registeracom = "R";
  seed({named("a.com"), done, named("hang.com"), named("c.com")});
  MainWindow& w = open(fetcher_);
  // The button's arrival takes the interface where there is one; under
  // Wine or on old Windows there is none and the program carries on.
  SendMessageW(w.hwnd(), TaskbarProgress::buttonCreatedMessage(), 0, 0);
  ASSERT_TRUE(pumpUntil([&] { return fetcher_->hanging(); }));
  // a.com is done, hang.com is being looked up.
  ASSERT_TRUE(w.taskbar().shown().has_value());
  EXPECT_EQ(*w.taskbar().shown(), std::make_pair(1, 3));
  fetcher_->release();
  ASSERT_TRUE(waitForRefresh());
  EXPECT_FALSE(w.taskbar().shown().has_value());

  // A pass with nothing to look up shows nothing at all.
  SendMessageW(w.hwnd(), TaskbarProgress::buttonCreatedMessage(), 0, 0);
  click(kIdRequeryFailed);
  ASSERT_TRUE(waitForRefresh(2));
  EXPECT_FALSE(w.taskbar().shown().has_value());
}

TEST(TaskbarProgress, KeepsWhatItShowsWithinRangeAndAcrossANewButton) {
  TaskbarProgress p;
  p.show(5, 3);
  EXPECT_EQ(*p.shown(), std::make_pair(3, 3));
  p.show(-1, 3);
  EXPECT_EQ(*p.shown(), std::make_pair(0, 3));
  p.show(0, 0);  // nothing to look up: nothing shown
  EXPECT_FALSE(p.shown().has_value());
  p.show(2, 7);
  HWND h = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  p.attach(h);  // with or without the interface, what is shown stays
  p.attach(h);
  EXPECT_EQ(*p.shown(), std::make_pair(2, 7));
  p.clear();
  EXPECT_FALSE(p.shown().has_value());
  DestroyWindow(h);
}

}  // namespace
}  // namespace dvx
