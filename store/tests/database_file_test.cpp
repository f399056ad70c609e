// The database file: schema, creation, migration of an older file.
#include <sys/stat.h>

#include "store_fixture.h"

using namespace dvx_test;
using dvx::DomainStore;

namespace {

using Rows = std::vector<std::vector<std::string>>;

// An older, narrower file: id and six columns. NULL where a value is "<null>".
void makeOldDatabase(const fs::path& file, const Rows& rows) {
  RawDb db(file);
  ASSERT_TRUE(db.ok());
  db.exec(
      "CREATE TABLE Domains (id INTEGER PRIMARY KEY AUTOINCREMENT, Domain TEXT, RegDate TEXT,"
      " ExpireDate TEXT, BaiduS TEXT, GoogleS TEXT, LastUpdate TEXT)");
  for (const auto& r : rows) {
    std::string sql = "INSERT INTO Domains (id, Domain, RegDate, ExpireDate, BaiduS, GoogleS, "
                      "LastUpdate) VALUES (" + r[0];
    for (size_t c = 1; c < r.size(); ++c) sql += r[c] == "<null>" ? ", NULL" : ", '" + r[c] + "'";
    db.exec(sql + ")");
  }
}

}  // namespace

using DatabaseFile = StoreTest;

TEST_F(DatabaseFile, FreshFileHasTheSchema) {
  const fs::path db = path("domains.mdb");
  DomainStore::CreateIfMissing(db);
  // Built beside and moved into place: nothing else is left in the directory.
  EXPECT_EQ(filesInDir(), std::vector<std::string>{"domains.mdb"});

  RawDb raw(db);
  const Rows expected = {{"id", "INTEGER", "1"},          {"Domain", "VARCHAR(200)", "0"},
                         {"RegDate", "VARCHAR(50)", "0"}, {"ExpireDate", "VARCHAR(50)", "0"},
                         {"BaiduS", "VARCHAR(50)", "0"},  {"GoogleS", "VARCHAR(50)", "0"},
                         {"LastUpdate", "VARCHAR(50)", "0"},
                         {"Registeracom", "VARCHAR(200)", "0"},
                         {"Registrant", "VARCHAR(50)", "0"},
                         {"DomainAdmin", "VARCHAR(50)", "0"},
                         {"AAA1", "VARCHAR(50)", "0"},    {"AAA2", "VARCHAR(50)", "0"},
                         {"AAA3", "VARCHAR(50)", "0"},    {"AAA4", "TEXT", "0"},
                         {"AAA5", "TEXT", "0"}};
  EXPECT_EQ(raw.rows("SELECT name, type, pk FROM pragma_table_info('Domains') ORDER BY cid"),
            expected);
  // No column is required and none has a default.
  EXPECT_EQ(raw.value("SELECT count(*) FROM pragma_table_info('Domains') WHERE \"notnull\" <> 0"
                      " OR dflt_value IS NOT NULL"),
            "0");
  EXPECT_EQ(raw.value("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name NOT LIKE "
                      "'sqlite_%'"),
            "1");
  EXPECT_EQ(raw.value("SELECT count(*) FROM Domains"), "0");
  // The auto-assigned key is never reused.
  EXPECT_NE(raw.value("SELECT sql FROM sqlite_master WHERE name = 'Domains'").find("AUTOINCREMENT"),
            std::string::npos);
  // The second, non-primary index named "id" on id.
  EXPECT_EQ(raw.value("SELECT \"unique\" || origin FROM pragma_index_list('Domains') "
                      "WHERE name = 'id'"),
            "0c");
  EXPECT_EQ(raw.rows("SELECT name FROM pragma_index_info('id')"), Rows{{"id"}});
  EXPECT_EQ(raw.value("PRAGMA journal_mode"), "wal");
  EXPECT_EQ(raw.value("PRAGMA integrity_check"), "ok");
}

TEST_F(DatabaseFile, CreateIfMissingLeavesAnExistingFileAlone) {
  const fs::path db = path("domains.mdb");
  writeFile(fsPath(db), "not a database at all");
  DomainStore::CreateIfMissing(db);
  EXPECT_EQ(readFile(fsPath(db)), "not a database at all");

  const fs::path real = path("real.mdb");
  DomainStore::CreateIfMissing(real);
  {
    RawDb raw(real);
    raw.exec("INSERT INTO Domains (Domain) VALUES ('kept.com')");
  }
  const std::string before = readFile(fsPath(real));
  DomainStore::CreateIfMissing(real);
  EXPECT_EQ(readFile(fsPath(real)), before);
  RawDb raw(real);
  EXPECT_EQ(raw.value("SELECT Domain FROM Domains"), "kept.com");

  // A directory that does not exist: nothing is made, nothing is thrown.
  DomainStore::CreateIfMissing(path("missing/domains.mdb"));
  EXPECT_FALSE(fs::exists(fsPath(path("missing"))));
}

TEST_F(DatabaseFile, MigrationOfAnEmptyOldTable) {
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb"),
                    backup = path("domain.mdb_old_Bak");
  makeOldDatabase(oldDb, {});
  RecordingSink sink;
  EXPECT_TRUE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  EXPECT_TRUE(sink.messages().empty());
  EXPECT_FALSE(fs::exists(fsPath(oldDb)));
  RawDb moved(backup);
  EXPECT_EQ(moved.value("SELECT count(*) FROM Domains"), "0");
  DomainStore store(&sink);
  store.OpenStore(newDb);
  EXPECT_TRUE(store.LoadAll().empty());
  EXPECT_TRUE(sink.messages().empty());
}

TEST_F(DatabaseFile, MigrationCarriesSixColumnsWithFreshIds) {
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb"),
                    backup = path("domain.mdb_old_Bak");
  // Old ids with gaps; a NULL and a Chinese value among them (UTF-8 in the file).
  makeOldDatabase(oldDb, {{"5", "b.com", "2010/01/02", "2020/01/02", "12", "0", "2019/05/06"},
                          {"9", "a.com", "<null>", "\xE6\x89\xBE\xE4\xB8\x8D\xE5\x88\xB0", "<null>",
                           "<null>", "<null>"},
                          {"12", "c.net", "", "", "", "", ""}});
  RecordingSink sink;
  ASSERT_TRUE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  EXPECT_FALSE(fs::exists(fsPath(oldDb)));
  EXPECT_TRUE(fs::exists(fsPath(backup)));

  DomainStore store(&sink);
  store.OpenStore(newDb);
  using Row = std::pair<int32_t, std::string>;
  EXPECT_EQ(store.LoadAll(), (std::vector<Row>{{1, "b.com"}, {2, "a.com"}, {3, "c.net"}}));
  const dvx::DomainRecord b = store.FindById(1);
  EXPECT_EQ(b.RegDate, "2010/01/02");
  EXPECT_EQ(b.ExpireDate, "2020/01/02");
  EXPECT_EQ(b.BaiduS, "12");
  EXPECT_EQ(b.GoogleS, "0");
  EXPECT_EQ(b.LastUpdate, "2019/05/06");
  EXPECT_EQ(b.Registeracom + b.Registrant + b.DomainAdmin + b.AAA1, "");
  const dvx::DomainRecord a = store.FindById(2);
  EXPECT_EQ(a.RegDate, "");
  EXPECT_EQ(a.ExpireDate, "找不到");
  EXPECT_EQ(a.BaiduS + a.GoogleS + a.LastUpdate, "");
  EXPECT_TRUE(sink.messages().empty());
  // Later rows continue after the carried ones.
  store.AddDomains("d.org");
  EXPECT_EQ(store.LoadAll().back(), Row(4, "d.org"));
}

TEST_F(DatabaseFile, MigrationNeverLosesAnExistingCurrentFile) {
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb"),
                    backup = path("domain.mdb_old_Bak");
  DomainStore::CreateIfMissing(newDb);
  {
    DomainStore current(nullptr);
    current.OpenStore(newDb);
    current.AddDomains("only-here.com");  // committed, possibly still in the journal
  }
  makeOldDatabase(oldDb, {{"1", "old.com", "", "", "", "", ""}});
  ASSERT_TRUE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, nullptr));

  {
    RawDb fresh(newDb);
    EXPECT_EQ(fresh.rows("SELECT id, Domain FROM Domains"), (Rows{{"1", "old.com"}}));
    RawDb aside(path("domains.mdb.before-migration"));
    EXPECT_EQ(aside.rows("SELECT Domain FROM Domains"), (Rows{{"only-here.com"}}));
  }

  // A second migration takes the next free name and keeps the first aside.
  makeOldDatabase(oldDb, {{"1", "older.com", "", "", "", "", ""}});
  ASSERT_TRUE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, nullptr));
  RawDb aside(path("domains.mdb.before-migration"));
  EXPECT_EQ(aside.rows("SELECT Domain FROM Domains"), (Rows{{"only-here.com"}}));
  RawDb aside1(path("domains.mdb.before-migration.1"));
  EXPECT_EQ(aside1.rows("SELECT Domain FROM Domains"), (Rows{{"old.com"}}));
  RawDb fresh(newDb);
  EXPECT_EQ(fresh.rows("SELECT Domain FROM Domains"), (Rows{{"older.com"}}));
  // The earlier backup was replaced by the file just carried over.
  RawDb backupDb(backup);
  EXPECT_EQ(backupDb.rows("SELECT Domain FROM Domains"), (Rows{{"older.com"}}));
}

TEST_F(DatabaseFile, MigrationFromAnUnreadableFileChangesNothing) {
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb"),
                    backup = path("domain.mdb_old_Bak");
  {
    RawDb db(oldDb);
    db.exec("CREATE TABLE Other (x)");
  }
  RecordingSink sink;
  EXPECT_FALSE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  EXPECT_EQ(sink.messages(), std::vector<std::string>{"no such table: Domains"});
  EXPECT_TRUE(fs::exists(fsPath(oldDb)));
  EXPECT_FALSE(fs::exists(fsPath(newDb)));
  EXPECT_FALSE(fs::exists(fsPath(backup)));
  EXPECT_EQ(filesInDir(), std::vector<std::string>{"domain.mdb"});

  sink.clear();
  EXPECT_FALSE(DomainStore::MigrateOldDatabase(path("absent.mdb"), newDb, backup, &sink));
  EXPECT_EQ(sink.messages().size(), 1u);
  EXPECT_FALSE(fs::exists(fsPath(newDb)));
}

TEST_F(DatabaseFile, MoveFallsBackToCopyAndDelete) {
  const fs::path from = fsPath(path("domain.mdb")), to = fsPath(path("domain.mdb_old_Bak"));
  writeFile(from, "old database bytes");
  writeFile(to, "an earlier backup");
  const auto refuse = [](const fs::path&, const fs::path&) { return false; };
  EXPECT_TRUE(dvx::detail::moveFile(from, to, refuse));
  EXPECT_FALSE(fs::exists(from));
  EXPECT_EQ(readFile(to), "old database bytes");

  // Neither rename nor copy possible: the original stays.
  writeFile(from, "still here");
  EXPECT_FALSE(dvx::detail::moveFile(from, fsPath(path("no/such/dir/x")), refuse));
  EXPECT_EQ(readFile(from), "still here");
}

#ifndef _WIN32
TEST_F(DatabaseFile, MigrationBackupOnAnotherFileSystemIsCopied) {
  // A rename cannot cross file systems, so a backup on another one takes the
  // copy-and-delete road of the real migration.
  struct stat shm {}, here {};
  const fs::path other = fs::path("/dev/shm") / root_.filename();
  if (stat("/dev/shm", &shm) != 0 || stat(root_.c_str(), &here) != 0 || shm.st_dev == here.st_dev ||
      !fs::create_directory(other)) {
    GTEST_SKIP() << "no second file system to move across";
  }
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb");
  const std::string backup = dvx::utf8TextToGbk(other.u8string()) + "/domain.mdb_old_Bak";
  writeFile(fsPath(backup), "an earlier backup");
  makeOldDatabase(oldDb, {{"1", "x.com", "", "", "", "", ""}});
  const bool migrated = DomainStore::MigrateOldDatabase(oldDb, newDb, backup, nullptr);
  const bool oldGone = !fs::exists(fsPath(oldDb));
  std::string backedUp;
  {
    RawDb copy(backup);
    backedUp = copy.value("SELECT Domain FROM Domains");
  }
  std::error_code ec;
  fs::remove_all(other, ec);
  EXPECT_TRUE(migrated);
  EXPECT_TRUE(oldGone);
  EXPECT_EQ(backedUp, "x.com");
}
#endif

TEST_F(DatabaseFile, CopyToTheUserFolderIsVerifiedOnceAndLeavesTheOriginal) {
  const fs::path original = path("domains.mdb"), copy = path("用户/domains.mdb");
  fs::create_directories(fsPath(path("用户")));
  makeOldDatabase(original, {{"1", "kept.com", "", "", "", "", ""}});
  writeFile(fsPath(original + "-wal"), "committed log bytes");
  writeFile(fsPath(copy + "-shm"), "a stale index of no file");
  const std::string before = readFile(fsPath(original));

  ASSERT_TRUE(DomainStore::CopyDatabase(original, copy));
  EXPECT_EQ(readFile(fsPath(copy)), before);
  EXPECT_EQ(readFile(fsPath(copy + "-wal")), "committed log bytes");
  EXPECT_FALSE(fs::exists(fsPath(copy + "-shm")));
  EXPECT_EQ(readFile(fsPath(original)), before);
  EXPECT_EQ(readFile(fsPath(original + "-wal")), "committed log bytes");

  // Once there, the copy is never replaced.
  writeFile(fsPath(copy), "rows added since");
  EXPECT_FALSE(DomainStore::CopyDatabase(original, copy));
  EXPECT_EQ(readFile(fsPath(copy)), "rows added since");

  // Nothing to copy, or nowhere to put it: nothing is left behind.
  EXPECT_FALSE(DomainStore::CopyDatabase(path("none.mdb"), path("用户/other.mdb")));
  EXPECT_FALSE(DomainStore::CopyDatabase(original, path("no/such/dir/domains.mdb")));
  EXPECT_EQ(filesInDir().size(), 3u);  // domains.mdb, its log and the user folder
}

TEST_F(DatabaseFile, AnOldFileAlreadyCarriedNeverMovesTheCurrentFileAside) {
  const fs::path oldDb = path("domain.mdb"), newDb = path("domains.mdb");
  // The backup cannot be written: its folder does not exist.
  const fs::path backup = path("gone/domain.mdb_old_Bak");
  makeOldDatabase(oldDb, {{"1", "a.com", "", "", "", "", ""}, {"2", "b.com", "", "", "", "", ""}});
  RecordingSink sink;
  ASSERT_TRUE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  ASSERT_TRUE(fs::exists(fsPath(oldDb)));
  {
    DomainStore current(&sink);
    current.OpenStore(newDb);
    current.AddDomains("added-since.com");
  }
  // Carried again: the current file holds the old names, so it stays.
  EXPECT_FALSE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  EXPECT_FALSE(fs::exists(fsPath(newDb + ".before-migration")));
  {
    RawDb current(newDb);
    EXPECT_EQ(current.rows("SELECT Domain FROM Domains ORDER BY id"),
              (Rows{{"a.com"}, {"b.com"}, {"added-since.com"}}));
  }
  // Once the backup can be written, the old file goes there after all.
  fs::create_directories(fsPath(path("gone")));
  EXPECT_FALSE(DomainStore::MigrateOldDatabase(oldDb, newDb, backup, &sink));
  EXPECT_FALSE(fs::exists(fsPath(oldDb)));
  EXPECT_TRUE(fs::exists(fsPath(backup)));
  EXPECT_TRUE(sink.messages().empty());
}

TEST_F(DatabaseFile, ADomainsViewIsNeverReadAndTheFileStaysAsItIs) {
  // Reading this view would never end.
  const char* endless =
      "CREATE VIEW Domains AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n)"
      " SELECT i AS id, 'x.com' AS Domain, '' AS RegDate, '' AS ExpireDate, '' AS BaiduS,"
      " '' AS GoogleS, '' AS LastUpdate FROM n";
  const fs::path current = path("domains.mdb"), old = path("domain.mdb");
  for (const fs::path& file : {current, old}) {
    RawDb db(file);
    db.exec(endless);
  }
  const std::string currentBytes = readFile(fsPath(current)), oldBytes = readFile(fsPath(old));

  RecordingSink sink;
  DomainStore store(&sink);
  store.OpenStore(current);
  EXPECT_TRUE(store.LoadAll().empty());
  ASSERT_EQ(sink.messages().size(), 1u);
  EXPECT_EQ(sink.messages()[0], "the database cannot be read and is left as it is: no such table: Domains");
  store.Close();

  sink.clear();
  EXPECT_FALSE(DomainStore::MigrateOldDatabase(old, path("carried.mdb"), path("domain.mdb_old_Bak"), &sink));
  EXPECT_EQ(sink.messages(), std::vector<std::string>{"no such table: Domains"});
  EXPECT_EQ(readFile(fsPath(current)), currentBytes);
  EXPECT_EQ(readFile(fsPath(old)), oldBytes);
  EXPECT_EQ(filesInDir().size(), 2u);
}
