// Export lines: every row is its ticked fields in order, each padded with
// spaces to its width or written whole, then CR LF.
#include "text/fuzz/fuzz_support.h"
#include "ui/dialogs/export_lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  dvx::ExportTicks ticks;
  ticks.regDate = in.ConsumeBool();
  ticks.expireDate = in.ConsumeBool();
  ticks.registrar = in.ConsumeBool();
  ticks.baidu = in.ConsumeBool();
  ticks.google = in.ConsumeBool();
  const bool on[dvx::kExportFieldCount] = {true, ticks.regDate, ticks.expireDate, ticks.registrar,
                                           ticks.baidu, ticks.google};
  std::vector<dvx::ExportRow> rows(in.ConsumeIntegralInRange<size_t>(0, 8));
  for (auto& row : rows) {
    for (auto& field : row) field = in.ConsumeRandomLengthString(40);
  }
  const std::string out = dvx::buildExportText(rows, ticks);

  size_t at = 0;
  for (const auto& row : rows) {
    for (int f = 0; f < dvx::kExportFieldCount; ++f) {
      if (!on[f]) continue;
      DVX_FUZZ_CHECK(out.compare(at, row[f].size(), row[f]) == 0);
      at += row[f].size();
      const size_t width = static_cast<size_t>(dvx::kExportWidths[f]);
      for (size_t k = row[f].size(); k < width; ++k, ++at) DVX_FUZZ_CHECK(at < out.size() && out[at] == ' ');
    }
    DVX_FUZZ_CHECK(out.compare(at, 2, "\r\n") == 0);
    at += 2;
  }
  DVX_FUZZ_CHECK(at == out.size());
  return 0;
}
