// RDAP answers as registries send them, read into the facts the list shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "fake_fetcher.h"
#include "lookup/rdap_date.h"
#include "lookup/rdap_response.h"

namespace dvx {
namespace {

using testing::fixturePage;

HttpResponse ok(const std::string& body, const std::string& type = "application/rdap+json") {
  HttpResponse r;
  r.status = 200;
  r.body = body;
  r.contentType = type;
  return r;
}

std::string facts(const RdapFacts& f) { return f.registration + "|" + f.expiration + "|" + f.registrar; }

std::string factsOf(const char* domain, const std::string& type = "application/rdap+json") {
  return facts(extractRdapFacts(ok(fixturePage(std::string("rdap/") + domain + ".json"), type), domain));
}

TEST(RdapDate, ReadsTheForms) {
  EXPECT_EQ(rdapDateToUtcDay("2011-03-04T05:06:07Z"), "2011/03/04");
  EXPECT_EQ(rdapDateToUtcDay("2011-03-04t05:06:07z"), "2011/03/04");
  EXPECT_EQ(rdapDateToUtcDay("2030-12-31T23:30:00.000+08:00"), "2030/12/31");
  EXPECT_EQ(rdapDateToUtcDay("2031-01-01T05:00:00+08:00"), "2030/12/31");   // UTC day before
  EXPECT_EQ(rdapDateToUtcDay("2030-12-31T20:00:00-05:00"), "2031/01/01");   // UTC day after
  EXPECT_EQ(rdapDateToUtcDay("2024-03-01T01:00:00+0200"), "2024/02/29");    // leap day, offset without colon
  EXPECT_EQ(rdapDateToUtcDay("2023-03-01T01:00:00+02"), "2023/02/28");
  EXPECT_EQ(rdapDateToUtcDay("2025-06-02T15:53:24"), "2025/06/02");         // no offset: UTC
  EXPECT_EQ(rdapDateToUtcDay("2019-05-21T12:41:16.9+03:00"), "2019/05/21");
  EXPECT_EQ(rdapDateToUtcDay("2019-05-21T12:41:16.123456789012Z"), "2019/05/21");
  EXPECT_EQ(rdapDateToUtcDay("2017-03-15"), "2017/03/15");
  EXPECT_EQ(rdapDateToUtcDay("2017-03-15 10:00"), "2017/03/15");
  EXPECT_EQ(rdapDateToUtcDay("2016-12-31T23:59:60Z"), "2016/12/31");
  // Not dates: nothing, never 1970 or today.
  for (const char* bad : {"", "Invalid Date", "2017-02-29", "2017-13-01", "17-03-15", "2017-03-15T",
                          "2017-03-15T25:00:00Z", "2017-03-15T10:00:00+24:00", "2017-03-15T10:00:00.Z",
                          "2017-03-15T10:00:00Zjunk", "0000-01-01", "2017/03/15"}) {
    EXPECT_EQ(rdapDateToUtcDay(bad), "") << bad;
  }
  // Found by fuzzing: years before 100 gave dates the system cannot read,
  // and 100-01-01 the text that means "no date".
  for (const char* early : {"0001-01-01", "0099-12-31T12:00:00Z", "0100-01-01", "0100-01-02T01:00:00+02:00"}) {
    EXPECT_EQ(rdapDateToUtcDay(early), "") << early;
  }
  EXPECT_EQ(rdapDateToUtcDay("0100-01-02"), "100/01/02");
}

TEST(RdapResponse, RegistryShapes) {
  // Thin registry: events out of order, the registrar entity with a nested
  // abuse contact, a date inside a notice that must not be read.
  EXPECT_EQ(factsOf("thin.example"), "1997/09/15|2028/09/14|Example Registrar, LLC");
  // Thick registry with redacted contacts; the registrant's own event is
  // not the domain's; a UTF-8 registrar name becomes GBK.
  EXPECT_EQ(factsOf("thick.example", "application/json"),
            "2004/02/29|2027/02/28|示例注册商有限公司");
  // Offsets move both dates to their UTC day; a blank fn falls back to org;
  // roles is a set.
  EXPECT_EQ(factsOf("offset.example"), "2011/03/05|2030/12/31|Offset Names Oy");
  // No expiration published (here redacted): no expiry date at all.
  EXPECT_EQ(factsOf("noexp.example"), "2019/05/21||Nordic Registrar Ab");
  // The registrar's name only on its nested entity; "registrar expiration"
  // stands in when "expiration" is absent; a date-only registration.
  EXPECT_EQ(factsOf("nested.example"), "2017/03/15|2029/04/30|Island Names Registry Services");
}

TEST(RdapResponse, AnswersThatGiveNothing) {
  const std::string thin = fixturePage("rdap/thin.example.json");
  HttpResponse r = ok(thin);
  // A 404 with an empty body, a JSON error body or an HTML page; a 429, a 5xx.
  for (int status : {404, 429, 500, 503, 0}) {
    r.status = status;
    for (const std::string& body :
         {std::string(), std::string("{\"errorCode\":404,\"title\":\"Not Found\"}"),
          std::string("<html><body>Not found</body></html>"), thin}) {
      r.body = body;
      EXPECT_TRUE(extractRdapFacts(r, "thin.example").empty()) << status << " " << body.substr(0, 20);
    }
  }
  // 200 answers that are not a domain object for this name.
  const std::vector<std::pair<std::string, std::string>> notDomains = {
      {"<!DOCTYPE html><html><head><title>Attention Required</title></head></html>", "text/html"},
      {thin, "text/html; charset=utf-8"},
      {"  <html>" + thin, "application/json"},
      {"{\"errorCode\":429,\"title\":\"Too many\",\"objectClassName\":\"domain\"}", "application/rdap+json"},
      {"{\"objectClassName\":\"entity\",\"events\":[{\"eventAction\":\"expiration\",\"eventDate\":\"2030-01-01\"}]}", ""},
      {"{\"objectClassName\":\"domain\",\"ldhName\":\"OTHER.EXAMPLE\",\"events\":[{\"eventAction\":\"expiration\",\"eventDate\":\"2030-01-01\"}]}", ""},
      {"[1,2,3]", ""},
      {"{\"objectClassName\":\"domain\",\"events\":[", ""},
      {"", "application/rdap+json"},
  };
  for (const auto& c : notDomains) {
    EXPECT_TRUE(extractRdapFacts(ok(c.first, c.second), "thin.example").empty()) << c.first.substr(0, 40);
  }
}

TEST(RdapResponse, WrongTypesAndQuotaNoticesAreSkipped) {
  // A quota notice as an object, events that are not objects, dates that are
  // numbers, roles as a string, a vCard that is not one, a structured org:
  // no throw, and what is well-formed still counts.
  const std::string body = R"json({"objectClassName":"domain","ldhName":"thin.example.",
    "notices":{"title":"Quota exceeded (31/30)","events":[{"eventAction":"registration","eventDate":"2001-01-01"}]},
    "events":[7,"x",[{"eventAction":"registration","eventDate":"2002-02-02"}],
              {"eventAction":"registration","eventDate":20200101},
              {"eventAction":5,"eventDate":"2020-01-01"},
              {"eventAction":"EXPIRATION","eventDate":"2032-05-06T07:08:09Z"}],
    "entities":[{"roles":"registrar","vcardArray":["vcard",[["fn",{},"text","Not Listed As Registrar"]]]},
                {"roles":[["registrar"]],"vcardArray":"x"},
                {"roles":["Registrar"],"vcardArray":["vcard",[["fn",{"x":["fn"]},"text",""],
                 ["org",{},"text",["Structured Registrar","Unit"]],["fn",{},"text",7]]]}]})json";
  EXPECT_EQ(facts(extractRdapFacts(ok(body), "THIN.example")), "|2032/05/06|Structured Registrar");
  // errorCode of any type, or a class that is not a string, gives nothing.
  for (const char* bad :
       {R"({"objectClassName":"domain","errorCode":{"x":1},"events":[{"eventAction":"expiration","eventDate":"2030-01-01"}]})",
        R"({"objectClassName":["domain"],"events":[{"eventAction":"expiration","eventDate":"2030-01-01"}]})"}) {
    EXPECT_TRUE(extractRdapFacts(ok(bad), "thin.example").empty()) << bad;
  }
}

TEST(RdapResponse, ThreeMegabyteAnswer) {
  // Real answers grow through notices, remarks and long entity lists; the
  // facts sit after them.
  std::string filler;
  std::string remark = R"({"title":"Remark","description":["Lorem ipsum dolor sit amet, expiration 1970-01-01T00:00:00Z"]},)";
  while (filler.size() < 3u * 1024 * 1024) filler += remark;
  filler.pop_back();
  const std::string body = R"({"objectClassName":"domain","ldhName":"big.example","remarks":[)" + filler +
                           R"(],"events":[{"eventAction":"expiration","eventDate":"2033-03-03T03:03:03Z"}],)"
                           R"("entities":[{"roles":["registrar"],"vcardArray":["vcard",[["fn",{},"text","Big Registrar"]]]}]})";
  ASSERT_GT(body.size(), 3u * 1024 * 1024);
  EXPECT_EQ(facts(extractRdapFacts(ok(body), "big.example")), "|2033/03/03|Big Registrar");
}

TEST(RdapResponse, DeepAndChineseAnswersReadAsBefore) {
  // Nesting deep enough to be hostile, in members no fact comes from, is
  // passed over without losing the place in the answer.
  const std::string deep = std::string(200000, '[') + std::string(200000, ']');
  std::string body = R"({"objectClassName":"domain","remarks":)" + deep + R"(,"notices":[{"a":)" + deep +
                     R"(}],"events":[{"x":)" + deep + R"(,"eventAction":"expiration","eventDate":"2030-01-01"}]})";
  EXPECT_EQ(facts(extractRdapFacts(ok(body), "a.example")), "|2030/01/01|");

  // A registrar eight entities down whose name sits nine further down is
  // still found, as far as the name is ever looked for; one level more is
  // not looked at.
  auto chain = [](int registrarDepth, int nameBelow) {
    std::string open, close;
    for (int i = 0; i <= registrarDepth + nameBelow; ++i) {
      std::string entity = "{";
      if (i == registrarDepth) entity += R"("roles":["registrar"],)";
      if (i == registrarDepth + nameBelow)
        entity += R"("vcardArray":["vcard",[["fn",{},"text","Deep Registrar"]]],)";
      open += entity + R"("entities":[)";
      close += "]}";
    }
    return R"({"objectClassName":"domain","entities":[)" + open + close + "]}";
  };
  EXPECT_EQ(extractRdapFacts(ok(chain(8, 9)), "a.example").registrar, "Deep Registrar");
  EXPECT_EQ(extractRdapFacts(ok(chain(8, 10)), "a.example").registrar, "");

  // A Chinese name is checked in its A-label form, also as typed with the
  // ideographic full stop; an answer for another name gives nothing.
  const std::string answer = R"({"objectClassName":"domain","ldhName":"XN--FSQU00A.xn--55qx5d",)"
                             R"("events":[{"eventAction":"expiration","eventDate":"2030-01-01"}]})";
  EXPECT_EQ(extractRdapFacts(ok(answer), "例子.公司").expiration, "2030/01/01");
  EXPECT_EQ(extractRdapFacts(ok(answer), "例子。公司").expiration, "2030/01/01");
  EXPECT_TRUE(extractRdapFacts(ok(answer), "别的.公司").empty());
}

void setTimeZone(const char* tz) {
#ifdef _WIN32
  _putenv_s("TZ", tz ? tz : "");
  _tzset();
#else
  if (tz) setenv("TZ", tz, 1);
  else unsetenv("TZ");
  tzset();
#endif
}

// The results never depend on the process's time zone.
TEST(RdapResponse, SameResultsInEveryTimeZone) {
  const char* saved = std::getenv("TZ");
  const std::string savedTz = saved ? saved : "";
  std::vector<std::string> seen;
  for (const char* tz : {"UTC0", "CST-8", "EST5EDT", "NZS-12NZD", "HST10", "Asia/Shanghai", "Pacific/Kiritimati"}) {
    setTimeZone(tz);
    seen.push_back(factsOf("offset.example") + factsOf("thin.example") + rdapDateToUtcDay("2031-01-01T00:30:00+01:00"));
  }
  setTimeZone(saved ? savedTz.c_str() : nullptr);
  for (const std::string& s : seen) EXPECT_EQ(s, seen.front());
  EXPECT_EQ(seen.front(), "2011/03/05|2030/12/31|Offset Names Oy1997/09/15|2028/09/14|Example Registrar, LLC2030/12/31");
}

}  // namespace
}  // namespace dvx
