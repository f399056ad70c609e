// Figures for the store at the sizes some users keep: LoadAll, ClearLookups
// and a batch insert of 10,000 lines (half of them names already stored, in
// other spellings), on stores of 10,000 and 50,000 rows.
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "store/domain_store.h"
#include "store/file_moves.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class PrintingSink : public dvx::StoreErrorSink {
 public:
  void showStoreError(const std::string& text) override {
    std::printf("store error: %s\n", text.c_str());
  }
};

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, size_t rows, double seconds) {
  std::printf("  %-44s %8.3f s  %12.0f rows/s\n", what, seconds,
              seconds > 0 ? static_cast<double>(rows) / seconds : 0.0);
}

// Every looked-up column filled, so that ClearLookups has work to do.
void fillLookups(const fs::path& file) {
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.u8string().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_exec(db,
                 "UPDATE Domains SET RegDate = '2001/02/03', ExpireDate = '2030/02/03',"
                 " BaiduS = '1234', GoogleS = '0', LastUpdate = '2024/06/01',"
                 " Registeracom = 'Registrar Ltd', Registrant = 'Owner', DomainAdmin = 'Admin',"
                 " AAA1 = '5'",
                 nullptr, nullptr, nullptr);
  }
  sqlite3_close(db);
}

// One spelling of a stored name that normalises back to it.
std::string variant(size_t i) {
  const std::string name = "domain" + std::to_string(i);
  switch (i % 5) {
    case 0: return "HTTP://WWW." + name + ".COM/index.html";
    case 1: return "  https://" + name + ".com/  ";
    case 2: return "www." + name + ".Com";
    case 3: return "\xA1\xA1" + name + ".com\xA1\xA1";  // full-width blanks
    default: return name + ".com";
  }
}

bool runSize(const fs::path& dir, size_t rows) {
  std::printf("store of %zu rows\n", rows);
  const fs::path file = dir / ("bench-" + std::to_string(rows) + ".mdb");
  const std::string gbkPath = file.u8string();  // ASCII path, same in GBK
  dvx::DomainStore::CreateIfMissing(gbkPath);
  PrintingSink sink;
  dvx::DomainStore store(&sink);
  store.OpenStore(gbkPath);

  std::string text;
  for (size_t i = 0; i < rows; ++i) text += "domain" + std::to_string(i) + ".com\r\n";
  auto start = Clock::now();
  store.AddDomains(text);
  report("AddDomains, initial fill (all new)", rows, secondsSince(start));
  fillLookups(file);

  start = Clock::now();
  const auto all = store.LoadAll();
  report("LoadAll", all.size(), secondsSince(start));
  if (all.size() != rows) {
    std::printf("  expected %zu rows, got %zu\n", rows, all.size());
    return false;
  }

  start = Clock::now();
  store.ClearLookups();
  report("ClearLookups", rows, secondsSince(start));

  // 10,000 lines: every even one a new name, every odd one a stored name
  // spelled differently.
  const size_t lines = 10000;
  text.clear();
  for (size_t i = 0; i < lines; ++i) {
    text += (i % 2 == 0) ? "new" + std::to_string(i) + ".org" : variant((i * 7919) % rows);
    text += "\r\n";
  }
  start = Clock::now();
  store.AddDomains(text);
  report("AddDomains, 10,000 lines (half duplicates)", lines, secondsSince(start));
  const size_t after = store.LoadAll().size();
  if (after != rows + lines / 2) {
    std::printf("  expected %zu rows after the batch, got %zu\n", rows + lines / 2, after);
    return false;
  }

  // The query job saves one row at a time, each its own transaction.
  const int saves = 200;
  dvx::DomainRecord rec;
  rec.RegDate = "2001/02/03";
  rec.ExpireDate = "2030/02/03";
  rec.BaiduS = "1";
  rec.LastUpdate = "2024/06/01";
  rec.Registeracom = "Registrar";
  start = Clock::now();
  for (int i = 1; i <= saves; ++i) store.SaveLookup(i, rec, false);
  report("SaveLookup, 200 single-row transactions", saves, secondsSince(start));
  return true;
}

}  // namespace

int main() {
  std::error_code ec;
  const fs::path dir = fs::temp_directory_path(ec) /
                       ("dvx-store-bench-" +
                        std::to_string(Clock::now().time_since_epoch().count()));
  if (!fs::create_directories(dir, ec)) {
    std::printf("cannot create %s\n", dir.u8string().c_str());
    return 1;
  }
  bool ok = true;
  for (const size_t rows : {size_t{10000}, size_t{50000}}) ok = runSize(dir, rows) && ok;
  fs::remove_all(dir, ec);
  return ok ? 0 : 1;
}
