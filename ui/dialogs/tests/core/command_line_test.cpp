// The export file's command line for Notepad.
#include "ui/dialogs/command_line.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

TEST(CommandLine, TheExportPathIsOneQuotedArgument) {
  // A data directory with a space would otherwise reach Notepad as two
  // arguments.
  EXPECT_EQ(notepadCommandLine("C:\\Program Files\\3d\\Domivex_导出.txt"),
            "notepad.exe \"C:\\Program Files\\3d\\Domivex_导出.txt\"");
  // A Chinese character whose trail byte is 0x5C is not a backslash before
  // the closing quote; a real one there is doubled.
  EXPECT_EQ(notepadCommandLine("D:\\\x81\x5C"), "notepad.exe \"D:\\\x81\x5C\"");
  EXPECT_EQ(quoteCommandArgument("a b\\"), "\"a b\\\\\"");
  EXPECT_EQ(quoteCommandArgument("a\\\"b"), "\"a\\\\\\\"b\"");
}

}  // namespace
}  // namespace dvx
