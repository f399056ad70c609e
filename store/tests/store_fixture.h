// Shared helpers of the store tests: a scratch directory with a GBK name,
// an error sink that records, and direct access to the file for checks.
#pragma once
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "store/domain_store.h"
#include "store/file_moves.h"
#include "text/codepage.h"

namespace dvx_test {

namespace fs = std::filesystem;

class RecordingSink : public dvx::StoreErrorSink {
 public:
  void showStoreError(const std::string& gbkText) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(gbkText);
  }
  std::vector<std::string> messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> messages_;
};

// A fresh directory per test whose name holds Chinese characters, so every
// path the store gets is GBK with double-byte characters.
class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = fs::temp_directory_path() /
            ("dvx-store-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    dir_ = dvx::utf8TextToGbk(root_.u8string()) + "/数据 目录";
    fs::create_directories(fsPath(dir_));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  // A path inside the scratch directory, named in GBK.
  fs::path path(const std::string& gbkName) const { return fsPath(dir_ + "/" + gbkName); }
  static fs::path fsPath(const std::string& gbk) { return dvx::detail::fsPath(gbk); }
  static const fs::path& fsPath(const fs::path& p) { return p; }
  std::vector<std::string> filesInDir() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(fsPath(dir_))) {
      names.push_back(dvx::utf8TextToGbk(e.path().filename().u8string()));
    }
    return names;
  }

  fs::path root_;
  std::string dir_;
};

// Direct connection for checks the store offers no operation for.
class RawDb {
 public:
  explicit RawDb(const fs::path& path) {
    const std::string name = path.u8string();
    rc_ = sqlite3_open_v2(name.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  }
  ~RawDb() { sqlite3_close(db_); }
  bool ok() const { return rc_ == SQLITE_OK; }
  void exec(const std::string& sql) {
    char* err = nullptr;
    const int rc = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << sql << ": " << (err ? err : "");
    sqlite3_free(err);
  }
  // Every row of a query, each column as UTF-8 text ("<null>" for NULL).
  std::vector<std::vector<std::string>> rows(const std::string& sql) {
    std::vector<std::vector<std::string>> out;
    sqlite3_stmt* st = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK)
        << sql << ": " << sqlite3_errmsg(db_);
    while (st && sqlite3_step(st) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int c = 0; c < sqlite3_column_count(st); ++c) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
        row.push_back(t ? t : "<null>");
      }
      out.push_back(row);
    }
    sqlite3_finalize(st);
    return out;
  }
  std::string value(const std::string& sql) {
    const auto r = rows(sql);
    return r.empty() || r[0].empty() ? std::string("<none>") : r[0][0];
  }

 private:
  sqlite3* db_ = nullptr;
  int rc_ = SQLITE_ERROR;
};

// A name with a suffix, as the engine names its companion files.
inline fs::path operator+(fs::path p, const char* suffix) { return p += suffix; }

inline std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

}  // namespace dvx_test
