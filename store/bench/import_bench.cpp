// Figures for an import at scale: a registrar-like CSV export of 1,000,000
// lines unless told (a header, quoted registrar names holding commas)
// decoded, read into names and stored in a fresh store.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/domain_rows.h"
#include "store/domain_store.h"
#include "store/import_decode.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class PrintingSink : public dvx::StoreErrorSink {
 public:
  void showStoreError(const std::string& text) override { std::printf("store error: %s\n", text.c_str()); }
};

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Processor time of this process (natively; the Windows C library gives the
// clock's time): on a machine shared with other work it varies less than
// the clock.
double cpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

double cpuStart = 0;

void report(const char* what, size_t rows, double seconds) {
  const double cpu = cpuSeconds() - cpuStart;
  std::printf("  %-44s %8.3f s (processor %6.3f s)  %12.0f rows/s\n", what, seconds, cpu,
              seconds > 0 ? static_cast<double>(rows) / seconds : 0.0);
  cpuStart = cpuSeconds();
}

// What a registrar's "export all domains" gives: UTF-8 with a mark, the
// domain in the second column, a registrar name holding a comma.
std::string registrarCsv(size_t lines) {
  std::string csv = "\xEF\xBB\xBF" "Status,Domain Name,Registrar,Expiration Date,Auto Renew,Privacy\r\n";
  csv.reserve(lines * 80);
  for (size_t i = 1; i < lines; ++i) {
    csv += "Active,";
    csv += (i % 10 == 0 ? "Shop-" : "domain-") + std::to_string(i) + (i % 3 == 0 ? ".COM" : ".cn");
    csv += ",\"Registrar, Inc.\",2027-05-";
    csv += std::to_string(10 + i % 18);
    csv += ",Yes,\"On\"\r\n";
  }
  return csv;
}

}  // namespace

int main(int argc, char** argv) {
  // The lines of the file, 1,000,000 unless told.
  const size_t lines = argc > 1 ? std::max<size_t>(std::strtoul(argv[1], nullptr, 10), 2) : 1000000;
  std::error_code ec;
  const fs::path dir =
      fs::temp_directory_path(ec) / ("dvx-import-bench-" + std::to_string(Clock::now().time_since_epoch().count()));
  if (!fs::create_directories(dir, ec)) {
    std::printf("cannot create %s\n", dir.u8string().c_str());
    return 1;
  }
  const std::string bytes = registrarCsv(lines);
  std::printf("registrar CSV of %zu lines, %.1f MB\n", lines, static_cast<double>(bytes.size()) / 1e6);

  cpuStart = cpuSeconds();
  const double cpuAll = cpuStart;
  const auto all = Clock::now();
  auto start = all;
  const std::string text = dvx::decodeImportBytes(bytes);
  report("decodeImportBytes (UTF-8 with mark)", lines, secondsSince(start));

  start = Clock::now();
  const dvx::DomainRows rows = dvx::readDomainRows(text);
  report("readDomainRows", lines, secondsSince(start));

  const fs::path file = dir / "import.mdb";
  const std::string path = file.u8string();  // ASCII path, same in GBK
  dvx::DomainStore::CreateIfMissing(path);
  PrintingSink sink;
  dvx::DomainStore store(&sink);
  store.OpenStore(path);
  start = Clock::now();
  const dvx::AddOutcome outcome = store.AddNames(rows.names);
  report("AddNames into a fresh store", rows.names.size(), secondsSince(start));
  const double total = secondsSince(all);
  cpuStart = cpuAll;
  report("readDomainRows + AddNames, with decoding", lines, total);
  std::printf("  added %zu, existing %zu, failed %zu, skipped %zu\n", outcome.added, outcome.existing,
              outcome.failed, rows.skippedRows);

  store.Close();
  fs::remove_all(dir, ec);
  return outcome.added == lines - 1 && rows.skippedRows == 0 ? 0 : 1;
}
