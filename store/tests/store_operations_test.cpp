// Row operations of the store, its failures, and its use from many threads.
#include <algorithm>
#include <set>
#include <thread>

#include "store_fixture.h"
#include "text/gbk_text.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace dvx_test;
using dvx::DomainRecord;
using dvx::DomainStore;
using Row = std::pair<int32_t, std::string>;
using Rows = std::vector<Row>;

namespace {

class StoreOps : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    file_ = path("domains.mdb");
    DomainStore::CreateIfMissing(file_);
    store_.OpenStore(file_);
  }
  std::vector<std::string> names() {
    std::vector<std::string> out;
    for (const auto& r : store_.LoadAll()) out.push_back(r.second);
    return out;
  }
  DomainRecord filled(const std::string& tag) {
    DomainRecord r;
    r.Domain = tag + ".com";
    r.RegDate = "2001/01/0" + tag.substr(0, 1);
    r.ExpireDate = "2030/01/01";
    r.BaiduS = "123";
    r.GoogleS = "0";
    r.LastUpdate = "2024/06/01";
    r.Registeracom = "注册商 " + tag;
    r.Registrant = "所有者";
    r.DomainAdmin = "管理员";
    r.AAA1 = "7";
    return r;
  }

  fs::path file_;
  RecordingSink sink_;
  DomainStore store_{&sink_};
};

}  // namespace

TEST_F(StoreOps, AddDomainsSplitsNormalisesAndSkipsDuplicates) {
  EXPECT_TRUE(store_.LoadAll().empty());
  // Three lines: one empty, two that normalise to the same name.
  store_.AddDomains("http://WWW.Example.com/a\r\n\r\n example.COM \r\n");
  EXPECT_EQ(store_.LoadAll(), (Rows{{1, "example.com"}}));
  // No line break: the one name.
  store_.AddDomains("second.net");
  // Already stored, in another spelling: nothing stored, nothing shown.
  store_.AddDomains("https://www.second.net/\r\nEXAMPLE.com");
  EXPECT_EQ(names(), (std::vector<std::string>{"example.com", "second.net"}));
  // A lone LF or CR breaks the line too (text copied from other systems).
  store_.AddDomains("a.cn\nb.cn\rc.cn\n");
  EXPECT_EQ(names().size(), 5u);
  EXPECT_EQ(names().back(), "c.cn");
  // The last piece counts without a trailing CR LF; lines that normalise to
  // nothing are skipped.
  store_.AddDomains("ftp://x.com\r\n/path\r\n   \r\nlast.org");
  EXPECT_EQ(names().back(), "last.org");
  EXPECT_EQ(names().size(), 6u);
  // No GBK character has a CR as its second byte: a CR after a lead byte
  // still ends the line.
  store_.AddDomains("\xB0\r\nq.com");
  EXPECT_EQ(names().size(), 7u);
  EXPECT_EQ(names().back(), "q.com");
  store_.AddDomains("");
  EXPECT_EQ(names().size(), 7u);
  // Lines that normalise to a scheme or "www." alone name no host.
  store_.AddDomains("ftp:///x\r\nhhttp://ttp://\r\nwwww.ww.\r\nftp://");
  EXPECT_EQ(names().size(), 7u);
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreOps, GbkTextSurvivesTheRoundTrip) {
  store_.AddDomains("中文域名.公司\r\n例子.中国");
  EXPECT_EQ(names(), (std::vector<std::string>{"中文域名.公司", "例子.中国"}));
  DomainRecord rec = filled("x");
  rec.Domain = "中文域名.公司";
  rec.RegDate = "找不到";
  rec.ExpireDate = "无记录";
  store_.SaveLookup(1, rec, true);
  DomainRecord back = store_.FindById(1);
  rec.id = 1;
  EXPECT_EQ(back.id, 1);
  for (auto field : {&DomainRecord::Domain, &DomainRecord::RegDate, &DomainRecord::ExpireDate,
                     &DomainRecord::BaiduS, &DomainRecord::GoogleS, &DomainRecord::LastUpdate,
                     &DomainRecord::Registeracom, &DomainRecord::Registrant,
                     &DomainRecord::DomainAdmin, &DomainRecord::AAA1}) {
    EXPECT_EQ(back.*field, rec.*field);
  }
  // The file holds Unicode, not GBK bytes.
  RawDb raw(file_);
  EXPECT_EQ(raw.value("SELECT RegDate FROM Domains WHERE id = 1"),
            "\xE6\x89\xBE\xE4\xB8\x8D\xE5\x88\xB0");
  EXPECT_EQ(raw.value("SELECT length(Domain) FROM Domains WHERE id = 2"), "5");
}

TEST_F(StoreOps, SaveLookupWithAndWithoutDomain) {
  store_.AddDomains("one.com\r\ntwo.com");
  store_.SaveLookup(1, filled("1"), true);
  DomainRecord r = store_.FindById(1);
  EXPECT_EQ(r.Domain, "1.com");
  EXPECT_EQ(r.RegDate, "2001/01/01");
  EXPECT_EQ(r.Registeracom, "注册商 1");
  EXPECT_EQ(r.AAA1, "7");

  DomainRecord other = filled("2");
  store_.SaveLookup(2, other, false);
  r = store_.FindById(2);
  EXPECT_EQ(r.Domain, "two.com");
  EXPECT_EQ(r.RegDate, "2001/01/02");
  EXPECT_EQ(r.DomainAdmin, "管理员");

  // Empty values are written as empty, so the row is looked up again.
  store_.SaveLookup(2, DomainRecord{}, false);
  r = store_.FindById(2);
  EXPECT_EQ(r.Domain, "two.com");
  EXPECT_EQ(r.RegDate + r.Registeracom + r.BaiduS, "");

  // A row that no longer exists: nothing changes, nothing appears.
  store_.SaveLookup(99, filled("9"), true);
  EXPECT_EQ(store_.FindById(99).id, 0);
  EXPECT_EQ(store_.FindById(99).Domain, "");
  EXPECT_EQ(names().size(), 2u);
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreOps, OneWalkGivesEveryRecordAsFindByIdDoesInIdOrder) {
  store_.AddDomains("c.com\r\na.com\r\nb.com\r\nd.com");
  store_.SaveLookup(2, filled("2"), false);
  store_.SaveLookup(4, filled("4"), true);
  store_.Remove(3);
  auto same = [](const DomainRecord& a, const DomainRecord& b) {
    return a.id == b.id && a.Domain == b.Domain && a.RegDate == b.RegDate && a.ExpireDate == b.ExpireDate &&
           a.BaiduS == b.BaiduS && a.GoogleS == b.GoogleS && a.LastUpdate == b.LastUpdate &&
           a.Registeracom == b.Registeracom && a.Registrant == b.Registrant &&
           a.DomainAdmin == b.DomainAdmin && a.AAA1 == b.AAA1;
  };
  std::vector<DomainRecord> walked;
  store_.ForEachRecord([&](DomainRecord& rec) { walked.push_back(rec); });
  const auto loaded = store_.LoadRecords();
  ASSERT_EQ(walked.size(), 3u);
  ASSERT_EQ(loaded.size(), 3u);
  const int32_t ids[] = {1, 2, 4};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(walked[i].id, ids[i]);
    EXPECT_TRUE(same(walked[i], store_.FindById(ids[i]))) << ids[i];
    EXPECT_TRUE(same(loaded[i], walked[i])) << ids[i];
  }
  EXPECT_EQ(walked[1].Registeracom, "注册商 2");
  EXPECT_EQ(walked[2].Domain, "4.com");
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreOps, LongValuesAreCutOnCharacterBoundaries) {
  store_.AddDomains("long.com");
  DomainRecord r = filled("l");
  r.Domain = "long.com";
  r.RegDate = "a";
  for (int i = 0; i < 60; ++i) r.RegDate += "中";  // 61 characters, 121 bytes
  r.Registeracom = std::string(250, 'r');
  r.Registrant = std::string(50, 'p');
  store_.SaveLookup(1, r, true);
  const DomainRecord back = store_.FindById(1);
  std::string expected = "a";
  for (int i = 0; i < 49; ++i) expected += "中";
  EXPECT_EQ(back.RegDate, expected);
  EXPECT_EQ(back.Registeracom, std::string(200, 'r'));
  EXPECT_EQ(back.Registrant, std::string(50, 'p'));
}

TEST_F(StoreOps, NamesLongerThanTheColumnAreNeverCut) {
  const std::string name200 = std::string(196, 'a') + ".com";
  const std::string name201 = std::string(197, 'b') + ".com";
  // The column counts characters: 150 Chinese characters are 300 bytes and fit.
  std::string chinese;
  for (int i = 0; i < 150; ++i) chinese += "域";
  chinese += ".com";
  store_.AddDomains(name201 + "\r\n" + name200 + "\r\n" + chinese);
  EXPECT_EQ(names(), (std::vector<std::string>{name200, chinese}));

  store_.Rename(1, name201);
  EXPECT_EQ(store_.FindById(1).Domain, name200);
  DomainRecord r = filled("z");
  r.Domain = name201;
  store_.SaveLookup(1, r, true);
  EXPECT_EQ(store_.FindById(1).Domain, name200);
  EXPECT_EQ(store_.FindById(1).BaiduS, "123");
}

TEST_F(StoreOps, QuotesInNamesAreJustCharacters) {
  // A quote is no host character, so these lines are not names.
  store_.AddDomains("o'brien.com\r\nx'); DROP TABLE Domains; --.com\r\nplain.com");
  EXPECT_EQ(names(), (std::vector<std::string>{"plain.com"}));
  // A rename stores what it is given, quotes and all.
  store_.Rename(1, "it's.com");
  EXPECT_EQ(store_.FindById(1).Domain, "it's.com");
  store_.AddDomains("it's.com");
  EXPECT_EQ(names().size(), 1u);
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreOps, ClearLookupsKeepsNameAndOwnerColumns) {
  store_.AddDomains("a.com\r\nb.com\r\nc.com");
  for (int32_t id = 1; id <= 3; ++id) {
    DomainRecord r = filled(std::to_string(id));
    r.Domain = store_.FindById(id).Domain;
    store_.SaveLookup(id, r, true);
  }
  store_.ClearLookups();
  for (int32_t id = 1; id <= 3; ++id) {
    const DomainRecord r = store_.FindById(id);
    EXPECT_EQ(r.RegDate + r.ExpireDate + r.BaiduS + r.GoogleS + r.LastUpdate + r.AAA1, "");
    EXPECT_EQ(r.Domain, std::string(1, static_cast<char>('a' + id - 1)) + ".com");
    EXPECT_EQ(r.Registeracom, "注册商 " + std::to_string(id));
    EXPECT_EQ(r.Registrant, "所有者");
    EXPECT_EQ(r.DomainAdmin, "管理员");
  }
}

TEST_F(StoreOps, RenameAndRemove) {
  store_.AddDomains("a.com\r\nb.com\r\nc.com");
  store_.SaveLookup(2, filled("2"), false);
  store_.Rename(2, "renamed.com");
  const DomainRecord r = store_.FindById(2);
  EXPECT_EQ(r.Domain, "renamed.com");
  EXPECT_EQ(r.RegDate, "2001/01/02");  // old dates stay until looked up again

  store_.Remove(2);
  EXPECT_EQ(store_.LoadAll(), (Rows{{1, "a.com"}, {3, "c.com"}}));
  EXPECT_EQ(store_.FindById(2).Domain, "");
  store_.Rename(2, "ghost.com");
  store_.Remove(2);
  store_.Remove(-1);
  EXPECT_EQ(names().size(), 2u);
  // Ids are never reused, also not the highest one.
  store_.Remove(3);
  store_.AddDomains("d.com");
  EXPECT_EQ(store_.LoadAll(), (Rows{{1, "a.com"}, {4, "d.com"}}));
  EXPECT_TRUE(sink_.messages().empty());
}

TEST_F(StoreOps, MissingTableShowsTheErrorOncePerOperation) {
  {
    RawDb raw(file_);
    raw.exec("DROP TABLE Domains");
  }
  const std::vector<std::string> once{"no such table: Domains"};
  EXPECT_TRUE(store_.LoadAll().empty());
  EXPECT_EQ(sink_.messages(), once);
  sink_.clear();
  EXPECT_EQ(store_.FindById(1).Domain, "");
  EXPECT_EQ(sink_.messages(), once);
  sink_.clear();
  store_.AddDomains("a.com\r\nb.com\r\nc.com");
  EXPECT_EQ(sink_.messages(), once);
  sink_.clear();
  store_.AddDomains("\r\n   \r\n");  // nothing to store, so the table is never reached
  EXPECT_TRUE(sink_.messages().empty());
  for (auto op : {+[](DomainStore& s) { s.SaveLookup(1, DomainRecord{}, true); },
                  +[](DomainStore& s) { s.ClearLookups(); },
                  +[](DomainStore& s) { s.Rename(1, "x.com"); },
                  +[](DomainStore& s) { s.Remove(1); }}) {
    sink_.clear();
    op(store_);
    EXPECT_EQ(sink_.messages(), once);
  }
}

TEST_F(StoreOps, MissingFileShowsTheOpenError) {
  RecordingSink sink;
  DomainStore store(&sink);
  store.OpenStore(path("absent.mdb"));
  EXPECT_TRUE(store.LoadAll().empty());
  store.AddDomains("a.com");
  EXPECT_EQ(sink.messages(),
            (std::vector<std::string>{"unable to open database file", "unable to open database file"}));
  EXPECT_FALSE(fs::exists(fsPath(path("absent.mdb"))));

  // Never opened at all: the same, and no crash.
  DomainStore unopened(&sink);
  sink.clear();
  unopened.ClearLookups();
  EXPECT_EQ(sink.messages().size(), 1u);
  DomainStore silent(nullptr);
  EXPECT_TRUE(silent.LoadAll().empty());
}

TEST_F(StoreOps, ConcurrentCallsFromSeveralThreads) {
  constexpr int kThreads = 4, kBatches = 25;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int b = 0; b < kBatches; ++b) {
        // Each batch: two names of its own and one every thread adds.
        const std::string mine = "t" + std::to_string(t) + "-" + std::to_string(b);
        store_.AddDomains(mine + "a.com\r\nWWW." + mine + "b.com\r\nshared" + std::to_string(b) +
                          ".com");
        const auto rows = store_.LoadAll();
        if (!rows.empty()) {
          DomainRecord r = filled("c");
          r.Domain = store_.FindById(rows.back().first).Domain;
          store_.SaveLookup(rows.back().first, r, false);
        }
        if (b % 10 == t) store_.ClearLookups();
      }
    });
  }
  for (auto& th : threads) th.join();

  const auto rows = store_.LoadAll();
  std::set<std::string> unique;
  for (const auto& r : rows) unique.insert(r.second);
  EXPECT_EQ(unique.size(), rows.size());
  EXPECT_EQ(rows.size(), static_cast<size_t>(kThreads * kBatches * 2 + kBatches));
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end()));
  EXPECT_TRUE(sink_.messages().empty());
  RawDb raw(file_);
  EXPECT_EQ(raw.value("PRAGMA integrity_check"), "ok");
}

TEST_F(StoreOps, CloseWhileAnotherThreadWrites) {
  store_.AddDomains("first.com");  // row 1, rewritten whole by every SaveLookup below
  std::atomic<int> done{-1};
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (int i = 0; !stop; ++i) {
      const std::string n = std::to_string(i);
      store_.AddDomains("h" + n + "a.com\r\nh" + n + "b.com");
      DomainRecord r = filled("v");
      r.Domain = "first.com";
      for (std::string* f : {&r.RegDate, &r.ExpireDate, &r.BaiduS, &r.GoogleS, &r.LastUpdate,
                             &r.Registeracom, &r.Registrant, &r.DomainAdmin, &r.AAA1}) {
        *f = "v" + n;
      }
      store_.SaveLookup(1, r, true);
      done = i;
    }
  });
  while (done < 30) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const int before = done;  // batches 0..before are committed for sure
  store_.Close();
  const int after = done;  // batch after+1 may have been in progress during Close
  // The writer goes on well past Close; none of that may reach the file.
  while (done < after + 30) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  stop = true;
  writer.join();

  // After Close every operation does nothing, and says nothing.
  EXPECT_TRUE(store_.LoadAll().empty());
  EXPECT_EQ(store_.FindById(1).Domain, "");
  store_.ClearLookups();
  store_.Rename(1, "renamed.com");
  store_.Remove(2);
  store_.AddDomains("late.com");
  store_.OpenStore(file_);
  EXPECT_TRUE(store_.LoadAll().empty());
  store_.Close();
  EXPECT_TRUE(sink_.messages().empty());
  // The connection is really closed: its journal is folded into the file.
  EXPECT_FALSE(fs::exists(fs::path(file_) += "-wal"));

  DomainStore reader(&sink_);
  reader.OpenStore(file_);
  const auto rows = reader.LoadAll();
  ASSERT_EQ(rows.size() % 2, 1u) << "a batch was stored in part";
  const int batches = static_cast<int>(rows.size() - 1) / 2;
  EXPECT_GE(batches, before + 1);
  EXPECT_LE(batches, after + 2);
  EXPECT_EQ(rows[0].second, "first.com");
  for (int i = 0; i < batches; ++i) {
    ASSERT_EQ(rows[1 + 2 * i].second, "h" + std::to_string(i) + "a.com");
    ASSERT_EQ(rows[2 + 2 * i].second, "h" + std::to_string(i) + "b.com");
  }
  // Row 1 holds one SaveLookup whole: the last batch's or the one before.
  const DomainRecord r = reader.FindById(1);
  EXPECT_EQ(r.Domain, "first.com");
  const std::string last = "v" + std::to_string(batches - 1);
  EXPECT_TRUE(r.RegDate == last || r.RegDate == "v" + std::to_string(batches - 2)) << r.RegDate;
  for (const std::string* f : {&r.ExpireDate, &r.BaiduS, &r.GoogleS, &r.LastUpdate,
                               &r.Registeracom, &r.Registrant, &r.DomainAdmin, &r.AAA1}) {
    EXPECT_EQ(*f, r.RegDate);
  }
  EXPECT_TRUE(sink_.messages().empty());
  RawDb raw(file_);
  EXPECT_EQ(raw.value("PRAGMA integrity_check"), "ok");
}

#ifndef _WIN32
TEST_F(StoreOps, AKilledWriterLeavesEveryCommittedRow) {
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The writer: its own store, one committed batch per loop, and after each
    // commit the number of the batch to the parent.
    close(pipeFds[0]);
    DomainStore writer(nullptr);
    writer.OpenStore(file_);
    for (int i = 0;; ++i) {
      writer.AddDomains("w" + std::to_string(i) + "a.com\r\nw" + std::to_string(i) + "b.com");
      DomainRecord r;
      r.RegDate = std::to_string(i);
      writer.SaveLookup(1, r, false);
      if (write(pipeFds[1], &i, sizeof i) != static_cast<ssize_t>(sizeof i)) _exit(1);
    }
  }
  close(pipeFds[1]);
  int last = -1, got = 0;
  while (last < 150 && read(pipeFds[0], &got, sizeof got) == static_cast<ssize_t>(sizeof got)) {
    last = got;
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  while (read(pipeFds[0], &got, sizeof got) == static_cast<ssize_t>(sizeof got)) last = got;
  close(pipeFds[0]);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_GE(last, 150);

  DomainStore reader(&sink_);
  reader.OpenStore(file_);
  const auto rows = reader.LoadAll();
  std::set<std::string> stored;
  for (const auto& r : rows) stored.insert(r.second);
  for (int i = 0; i <= last; ++i) {
    ASSERT_TRUE(stored.count("w" + std::to_string(i) + "a.com")) << i;
    ASSERT_TRUE(stored.count("w" + std::to_string(i) + "b.com")) << i;
  }
  // Batches are whole: both names of a batch or neither.
  EXPECT_EQ(rows.size() % 2, 0u);
  EXPECT_GE(dvx::toNumber(reader.FindById(1).RegDate), last);
  EXPECT_TRUE(sink_.messages().empty());
  RawDb raw(file_);
  EXPECT_EQ(raw.value("PRAGMA integrity_check"), "ok");
}
#endif
