// D:\Veltro\ on a drive other accounts can write: used only when it is this
// user's. Run by startup_drives.sh, which gives the prefix a drive D: and
// plants the folders. (Wine keeps no owner other than the user's, so the
// owner rule is tested with the fake platform.)
#include <windows.h>
#include <gtest/gtest.h>

#include "startup/file_platform_win.h"

namespace dvx {
namespace {

const wchar_t kVeltro[] = L"D:\\Veltro";

bool onDisk(const wchar_t* p) { return GetFileAttributesW(p) != INVALID_FILE_ATTRIBUTES; }

// A folder that leads elsewhere (a link the other account made).
TEST(DISABLED_DriveTrust, AFolderThatLeadsElsewhereIsPassedOver) {
  const DWORD attributes = GetFileAttributesW(kVeltro);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) GTEST_SKIP() << "links are not reparse points here";
  WinFilePlatform files;
  EXPECT_NE(chooseDataDirectory(files).wstring(), L"D:\\Veltro\\");
  EXPECT_FALSE(onDisk(L"D:\\Veltro\\用户注意.txt"));
}

// This user's own folder, found from an earlier start, is used; its notice
// file is written anew even where a link was planted in its place.
TEST(DISABLED_DriveTrust, TheUsersOwnFolderIsUsed) {
  ASSERT_TRUE(onDisk(kVeltro));
  WinFilePlatform files;
  EXPECT_TRUE(files.isTrustedDirectory(L"D:\\Veltro\\", false));
  EXPECT_EQ(chooseDataDirectory(files).wstring(), L"D:\\Veltro\\");
  const DWORD notice = GetFileAttributesW(L"D:\\Veltro\\用户注意.txt");
  ASSERT_NE(notice, INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(notice & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace
}  // namespace dvx
