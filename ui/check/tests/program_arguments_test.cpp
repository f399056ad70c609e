#include "ui/check/program_arguments.h"

#include <gtest/gtest.h>

namespace dvx {
namespace {

TEST(ProgramArguments, CommandsInBothSpellingsAndQuietAnywhere) {
  EXPECT_EQ(parseProgramArguments({}).mode, ProgramMode::kWindow);
  EXPECT_EQ(parseProgramArguments({L"--check"}).mode, ProgramMode::kCheck);
  EXPECT_EQ(parseProgramArguments({L"/CHECK"}).mode, ProgramMode::kCheck);
  const ProgramArguments install = parseProgramArguments({L"--quiet", L"--install-check"});
  EXPECT_EQ(install.mode, ProgramMode::kInstallCheck);
  EXPECT_TRUE(install.quiet);
  const ProgramArguments remove = parseProgramArguments({L"/remove-check", L"/Quiet"});
  EXPECT_EQ(remove.mode, ProgramMode::kRemoveCheck);
  EXPECT_TRUE(remove.quiet);
  EXPECT_FALSE(parseProgramArguments({L"--check"}).quiet);
}

TEST(ProgramArguments, TheFirstCommandCountsAndOthersAreNoCommands) {
  EXPECT_EQ(parseProgramArguments({L"--remove-check", L"--install-check"}).mode, ProgramMode::kRemoveCheck);
  // A file name or a near miss never starts the check.
  EXPECT_EQ(parseProgramArguments({L"check"}).mode, ProgramMode::kWindow);
  EXPECT_EQ(parseProgramArguments({L"--checks"}).mode, ProgramMode::kWindow);
  EXPECT_EQ(parseProgramArguments({L"-check"}).mode, ProgramMode::kWindow);
  EXPECT_EQ(parseProgramArguments({L"C:\\check"}).mode, ProgramMode::kWindow);
}

}  // namespace
}  // namespace dvx
