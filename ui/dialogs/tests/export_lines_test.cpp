#include <gtest/gtest.h>

#include "ui/dialogs/export_lines.h"

namespace dvx {
namespace {

ExportRow row(const std::string& domain, const std::string& exp, const std::string& registrar = "") {
  return ExportRow{domain, "2010/01/01", exp, registrar, "12", "0"};
}

TEST(ExportLines, InitialTicks) {
  EXPECT_EQ(buildExportText({row("a.com", "2025/01/01")}, ExportTicks{}),
            "a.com" + std::string(15, ' ') + "2025/01/01" + "  \r\n");
  // 20 bytes or more: the next field follows directly.
  EXPECT_EQ(buildExportText({row("abcdefghijklmnop.com", "2025/01/01"),
                             row("abcdefghijklmnopq.com", "找不到")},
                            ExportTicks{}),
            "abcdefghijklmnop.com2025/01/01  \r\nabcdefghijklmnopq.com找不到      \r\n");
}

TEST(ExportLines, WidthsCountGbkBytes) {
  ExportTicks ticks;
  ticks.expireDate = false;
  ticks.registrar = true;
  const std::string registrar = "阿里云计";
  ASSERT_EQ(registrar.size(), 8u);
  EXPECT_EQ(buildExportText({row("中文.com", "x", registrar)}, ticks),
            "中文.com" + std::string(12, ' ') + registrar + std::string(12, ' ') + "\r\n");
}

TEST(ExportLines, AllFieldsAndNone) {
  ExportTicks none{false, false, false, false, false};
  EXPECT_EQ(buildExportText({row("a.com", "2025/01/01"), row("b.com", "")}, none),
            "a.com" + std::string(15, ' ') + "\r\nb.com" + std::string(15, ' ') + "\r\n");
  ExportTicks all{true, true, true, true, true};
  EXPECT_EQ(buildExportText({ExportRow{"d", "r", "e", "g", "1234567", "12345678"}}, all),
            "d" + std::string(19, ' ') + "r" + std::string(11, ' ') + "e" + std::string(11, ' ') +
                "g" + std::string(19, ' ') + "1234567" + "12345678" + "\r\n");
  EXPECT_EQ(buildExportText({}, all), "");
  EXPECT_EQ(exportFilePath("C:\\data\\").u8string(), u8"C:\\data\\Domivex_导出.txt");
}

}  // namespace
}  // namespace dvx
