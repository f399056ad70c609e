// The store against the faults users meet: a file that cannot be written
// (read-only, or locked by another process), a file that is not a database,
// a disk that fills up during an add. Each ends with one clear message and
// no row lost or half written.
#include <algorithm>
#include <cctype>

#include "fault_vfs.h"
#include "store/domain_rows.h"
#include "store_fixture.h"

using namespace dvx_test;
using dvx::DomainRecord;
using dvx::DomainStore;

namespace {

const char kCannotWrite[] = "the database cannot be written: ";

std::string lines(int from, int to) {
  std::string text;
  for (int i = from; i < to; ++i) text += "name" + std::to_string(i) + ".com\r\n";
  return text;
}

class StoreFaults : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    file_ = path("domains.mdb");
    DomainStore::CreateIfMissing(file_);
    DomainStore seed(nullptr);
    seed.OpenStore(file_);
    ASSERT_EQ(seed.AddDomains(lines(0, 3)), 0);
    DomainRecord rec;
    rec.RegDate = "2001/01/01";
    ASSERT_TRUE(seed.SaveLookup(1, rec, false));
    seed.Close();  // folds the journal into the file
    before_ = readFile(fsPath(file_));
  }
  std::vector<std::string> names(DomainStore& store) {
    std::vector<std::string> out;
    for (const auto& r : store.LoadAll()) out.push_back(r.second);
    return out;
  }
  // The rows as another program reads them: every column of every row.
  std::vector<std::vector<std::string>> rawRows() {
    RawDb raw(file_);
    EXPECT_EQ(raw.value("PRAGMA integrity_check"), "ok");
    return raw.rows("SELECT * FROM Domains ORDER BY id");
  }

  fs::path file_;
  std::string before_;
  RecordingSink sink_;
};

}  // namespace

TEST_F(StoreFaults, ReadOnlyFileIsToldOncePerOperationAndNothingChanges) {
  const auto rowsBefore = rawRows();
  FaultVfs vfs;
  vfs.setReadOnly(true);
  DomainStore store(&sink_);
  store.OpenStore(file_);
  // Reading still works.
  EXPECT_EQ(names(store), (std::vector<std::string>{"name0.com", "name1.com", "name2.com"}));
  EXPECT_TRUE(sink_.messages().empty());

  // An add of 500 lines: told once, every line counted as not stored, and
  // no line tried on its own after the file refused the batch.
  EXPECT_EQ(store.AddDomains(lines(3, 503)), 500);
  const std::vector<std::string> once{std::string(kCannotWrite) +
                                      "attempt to write a readonly database"};
  EXPECT_EQ(sink_.messages(), once);
  for (auto op : {+[](DomainStore& s) { return s.SaveLookup(1, DomainRecord{}, false); },
                  +[](DomainStore& s) { return s.ClearLookups(); },
                  +[](DomainStore& s) { return s.Rename(1, "x.com"); },
                  +[](DomainStore& s) { return s.Remove(1); }}) {
    sink_.clear();
    EXPECT_FALSE(op(store));
    EXPECT_EQ(sink_.messages(), once);
  }
  store.Close();
  vfs.setReadOnly(false);
  EXPECT_EQ(rawRows(), rowsBefore);
}

TEST_F(StoreFaults, FileLockedByAnotherProgramIsToldOnce) {
  const auto rowsBefore = rawRows();
  DomainStore store(&sink_);
  store.OpenStore(file_);
  {
    RawDb other(file_);
    other.exec("BEGIN EXCLUSIVE");
    // Waits out the busy time-out once, not once per line.
    EXPECT_EQ(store.AddDomains(lines(3, 203)), 200);
    EXPECT_EQ(sink_.messages(),
              (std::vector<std::string>{std::string(kCannotWrite) + "database is locked"}));
    other.exec("ROLLBACK");
  }
  EXPECT_EQ(rawRows(), rowsBefore);
  // Once the other program lets go, writing works again.
  sink_.clear();
  EXPECT_EQ(store.AddDomains("later.com"), 0);
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreFaults, DiskFullDuringAnAddKeepsTheLinesThatFit) {
  FaultVfs vfs;
  DomainStore store(&sink_);
  store.OpenStore(file_);
  ASSERT_EQ(names(store).size(), 3u);
  // Room for some lines committed one by one, not for the whole batch.
  vfs.setSpaceLeft(64 * 1024);
  const int notStored = store.AddDomains(lines(1, 2001));
  vfs.setSpaceLeft(-1);
  EXPECT_EQ(sink_.messages(),
            (std::vector<std::string>{std::string(kCannotWrite) + "database or disk is full"}));

  // name1 and name2 were there; of the 1998 new names some are stored, the
  // rest counted, none silently dropped.
  const auto stored = names(store);
  ASSERT_GT(notStored, 0);
  ASSERT_GT(stored.size(), 3u);
  EXPECT_EQ(stored.size() - 3 + static_cast<size_t>(notStored), 1998u);
  // The names kept are the first ones, in order, each once.
  for (size_t i = 3; i < stored.size(); ++i) EXPECT_EQ(stored[i], "name" + std::to_string(i) + ".com");
  store.Close();
  rawRows();  // the file is whole
}

TEST_F(StoreFaults, ALargeAddRebuildsTheIndexesOrLeavesThemAsTheyWere) {
  auto indexes = [&] {
    RawDb raw(file_);
    return raw.rows("SELECT name, sql FROM sqlite_master WHERE type = 'index' ORDER BY name");
  };
  const auto before = indexes();
  ASSERT_EQ(before.size(), 2u);
  FaultVfs vfs;
  DomainStore store(&sink_);
  store.OpenStore(file_);
  // 20,000 names on a table of 3: the indexes are dropped and built again
  // inside the batch. The disk fills: the batch and its dropped indexes
  // are rolled back, and the names are tried one by one, which needs them.
  vfs.setSpaceLeft(64 * 1024);
  const int notStored = store.AddDomains(lines(3, 20003));
  vfs.setSpaceLeft(-1);
  const size_t kept = names(store).size();
  ASSERT_GT(notStored, 0);
  EXPECT_EQ(kept - 3 + static_cast<size_t>(notStored), 20000u);
  EXPECT_EQ(indexes(), before);

  // With room, the same names and 5,000 more (so that the new ones are
  // enough for a rebuild again): the ones kept are there, in any case.
  sink_.clear();
  std::string upper = lines(0, 25003);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const dvx::AddOutcome outcome = store.AddNames(dvx::readDomainRows(upper).names);
  EXPECT_EQ(outcome.existing, kept);
  EXPECT_EQ(outcome.added, 25003u - kept);
  EXPECT_EQ(outcome.failed, 0u);
  EXPECT_TRUE(sink_.messages().empty());
  store.Close();
  EXPECT_EQ(indexes(), before);
  EXPECT_EQ(rawRows().size(), 25003u);  // and the file is whole
}

TEST_F(StoreFaults, AFileThatIsNotADatabaseIsToldOnceAndNeverWritten) {
  // A file with many pages, cut in half.
  std::string truncated;
  {
    DomainStore big(nullptr);
    big.OpenStore(file_);
    ASSERT_EQ(big.AddDomains(lines(3, 3000)), 0);
    big.Close();
    const std::string whole = readFile(fsPath(file_));
    truncated = whole.substr(0, whole.size() / 2);
  }
  const std::string garbage(5000, '\x5a');
  for (const std::string& content : {garbage, truncated, std::string()}) {
    writeFile(fsPath(file_), content);
    sink_.clear();
    DomainStore::CreateIfMissing(file_);
    DomainStore store(&sink_);
    store.OpenStore(file_);
    EXPECT_TRUE(store.LoadAll().empty());
    ASSERT_EQ(sink_.messages().size(), 1u);
    EXPECT_EQ(sink_.messages()[0].rfind("the database cannot be read and is left as it is: ", 0), 0u)
        << sink_.messages()[0];
    // Later operations say nothing more and write nothing.
    EXPECT_EQ(store.AddDomains("a.com\r\nb.com"), 2);
    EXPECT_FALSE(store.SaveLookup(1, DomainRecord{}, true));
    EXPECT_FALSE(store.ClearLookups());
    EXPECT_TRUE(store.LoadRecords().empty());
    EXPECT_EQ(sink_.messages().size(), 1u);
    store.Close();
    EXPECT_EQ(readFile(fsPath(file_)), content);
  }
}
