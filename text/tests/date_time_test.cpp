#include "text/date_time.h"

#include <gtest/gtest.h>

#include <string>

using namespace dvx;

namespace {

DateTime dt(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  DateTime r;
  r.year = y;
  r.month = mo;
  r.day = d;
  r.hour = h;
  r.minute = mi;
  r.second = s;
  return r;
}

void expectNoDate(const std::string& text) {
  EXPECT_TRUE(isNoDate(parseDateTime(text))) << "read as a date: " << text;
}

}  // namespace

TEST(ParseDateTime, DateForms) {
  EXPECT_EQ(parseDateTime("2016/2/29"), dt(2016, 2, 29));
  EXPECT_EQ(parseDateTime("2016-05-03"), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("2016.5.3"), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("2016:5:3"), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("2016年5月3日"), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("20160503"), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("2016123"), dt(2016, 12, 3));  // greedy: 2016, 12, 3
  EXPECT_EQ(parseDateTime("100/1/2"), dt(100, 1, 2));
  EXPECT_EQ(parseDateTime("9999/12/31 23:59:59"), dt(9999, 12, 31, 23, 59, 59));
  EXPECT_EQ(parseDateTime("0100-01-02"), dt(100, 1, 2));
  EXPECT_EQ(parseDateTime("2016-05-03."), dt(2016, 5, 3));  // one separator after the day
  // Full-width digits and punctuation read like ASCII.
  EXPECT_EQ(parseDateTime("\xA3\xB2\xA3\xB0\xA3\xB1\xA3\xB6\xA3\xAF\xA3\xB5\xA3\xAF\xA3\xB3"),
            dt(2016, 5, 3));
}

TEST(ParseDateTime, TimeForms) {
  EXPECT_EQ(parseDateTime("2016年5月3日12时30分"), dt(2016, 5, 3, 12, 30));
  EXPECT_EQ(parseDateTime("2016年5月3日12时30分15秒"), dt(2016, 5, 3, 12, 30, 15));
  EXPECT_EQ(parseDateTime("2016年5月3日12时30分15秒 北京时间 xyz"), dt(2016, 5, 3, 12, 30, 15));
  EXPECT_EQ(parseDateTime("2016-05-03 07:08:09"), dt(2016, 5, 3, 7, 8, 9));
  EXPECT_EQ(parseDateTime("2016-05-03 07:08"), dt(2016, 5, 3, 7, 8));
  EXPECT_EQ(parseDateTime("2016-05-03 7"), dt(2016, 5, 3, 7));
  EXPECT_EQ(parseDateTime("2016-05-03 "), dt(2016, 5, 3));
  EXPECT_EQ(parseDateTime("2016-05-03 070809"), dt(2016, 5, 3, 7, 8, 9));
  EXPECT_EQ(parseDateTime("2016/5/3/7/8/9"), dt(2016, 5, 3, 7, 8, 9));
  EXPECT_EQ(parseDateTime("2016/5/3 12:30:15秒"), dt(2016, 5, 3, 12, 30, 15));
}

TEST(ParseDateTime, NearMissesDoNotRead) {
  expectNoDate("2016年5月3日 12:30");  // no separator may follow 日
  expectNoDate("2016-05-03T12:30:00");
  expectNoDate("2016-05-03T12:30:00Z");
  expectNoDate(" 2016-05-03");
  expectNoDate("\xA1\xA1" "2016-05-03");  // a full-width blank folds to a space
  expectNoDate("2015/2/29");
  expectNoDate("1900/2/29");
  EXPECT_EQ(parseDateTime("2000/2/29"), dt(2000, 2, 29));
  expectNoDate("99/1/1");
  expectNoDate("10000/1/1");
  expectNoDate("2016/13/1");
  expectNoDate("2016/0/1");
  expectNoDate("2016/4/31");
  expectNoDate("2016/4/0");
  expectNoDate("2016/4/1 24:00");
  expectNoDate("2016/4/1 23:60");
  expectNoDate("2016/4/1 23:59:60");
  expectNoDate("2016/4/1 1:2:3:4");
  expectNoDate("2016/4/1 12:30:15 PM");
  expectNoDate("2016--4-1");
  expectNoDate("2016/4");
  expectNoDate("2016");
  expectNoDate("");
  expectNoDate("找不到");
  expectNoDate("May 3, 2016");
  expectNoDate("100/1/1");  // reads, but stands for no date
}

TEST(FormatDateTime, TwoDigitFieldsPlainYear) {
  EXPECT_EQ(formatDateTime(dt(2016, 3, 5, 7, 8, 9)), "2016/03/05 07:08:09");
  EXPECT_EQ(formatDateTime(DateTime{}), "100/01/01 00:00:00");
  EXPECT_EQ(formatDateTime(dt(9999, 12, 31, 23, 59, 59)), "9999/12/31 23:59:59");
  const DateTime d = dt(2024, 2, 29, 13, 14, 15);
  EXPECT_EQ(parseDateTime(formatDateTime(d)), d);
}

TEST(ToDayCount, LinearFromTheSerialOrigin) {
  EXPECT_EQ(toDayCount(dt(1899, 12, 30)), 0.0);
  EXPECT_EQ(toDayCount(dt(1900, 1, 1)), 2.0);
  EXPECT_EQ(toDayCount(dt(2016, 3, 5)), 42434.0);
  EXPECT_EQ(toDayCount(dt(2016, 3, 5, 12)), 42434.5);
  EXPECT_EQ(toDayCount(dt(1899, 12, 29, 6)), -0.75);  // fraction stays positive
  EXPECT_EQ(toDayCount(DateTime{}), -657434.0);
  EXPECT_LT(toDayCount(dt(2016, 5, 3, 23, 59, 59)), toDayCount(dt(2016, 5, 4)));
}

TEST(NowLocal, IsAReadableDate) {
  const DateTime now = nowLocal();
  EXPECT_GE(now.year, 2020);
  const std::string today = todayText();
  ASSERT_EQ(today.size(), 10u);
  const DateTime readBack = parseDateTime(today);
  EXPECT_FALSE(isNoDate(readBack));
  EXPECT_EQ(today, formatDateTime(readBack).substr(0, 10));
}
