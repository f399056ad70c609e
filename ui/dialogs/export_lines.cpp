#include "ui/dialogs/export_lines.h"

#include "text/codepage.h"

namespace dvx {

std::string buildExportText(const std::vector<ExportRow>& rows, const ExportTicks& ticks) {
  const std::array<bool, kExportFieldCount> on = {true,         ticks.regDate, ticks.expireDate,
                                                  ticks.registrar, ticks.baidu, ticks.google};
  std::string out;
  for (const auto& row : rows) {
    for (int f = 0; f < kExportFieldCount; ++f) {
      if (!on[f]) continue;
      const std::string& text = row[f];
      out += text;
      const size_t width = static_cast<size_t>(kExportWidths[f]);
      if (text.size() < width) out.append(width - text.size(), ' ');
    }
    out += "\r\n";
  }
  return out;
}

std::filesystem::path exportFilePath(const std::filesystem::path& dataDir) {
  std::filesystem::path file = dataDir;
  return file += std::filesystem::u8path(gbkToUtf8("Domivex_导出.txt"));
}

}  // namespace dvx
