// RDAP timings: extracting the facts from a 3 MB domain answer (notices,
// remarks, entities and name servers before the events), and choosing the
// server of a name from the shipped bootstrap.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "lookup/rdap_bootstrap.h"
#include "lookup/rdap_response.h"

namespace {

const size_t kAnswerBytes = 3 * 1024 * 1024;

std::string bigAnswer() {
  std::string head = R"({"objectClassName":"domain","ldhName":"BIG-EXAMPLE.COM","rdapConformance":["rdap_level_0","redacted"],"notices":[)";
  const std::string notice =
      R"({"title":"Terms of Use","description":["Service subject to Terms of Use, see https://registry.example/terms for 2020-01-01T00:00:00Z"],"links":[{"href":"https://registry.example/terms","rel":"alternate","type":"text/html"}]},)";
  const std::string entity =
      R"({"objectClassName":"entity","handle":"C123-EX","roles":["technical","administrative"],"vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text",""],["adr",{},"text",["","","","","ZJ","","CN"]],["email",{},"text","redacted@example.invalid"]]],"events":[{"eventAction":"expiration","eventDate":"2001-01-01T00:00:00Z"}]},)";
  const std::string tail =
      R"({"objectClassName":"entity","roles":["registrar"],"vcardArray":["vcard",[["version",{},"text","4.0"],["fn",{},"text","Big Registrar, Inc."]]]}],)"
      R"("events":[{"eventAction":"registration","eventDate":"1999-02-03T04:05:06.789+08:00"},{"eventAction":"expiration","eventDate":"2031-01-01T05:00:00+08:00"}]})";
  std::string out = head;
  while (out.size() < kAnswerBytes / 2) out += notice;
  out.back() = ']';
  out += R"(,"entities":[)";
  while (out.size() + tail.size() < kAnswerBytes) out += entity;
  out += tail;
  return out;
}

// Median wall-clock time, and the median processor time of the same runs
// (the figure that matters on a shared, busy machine).
struct Timing {
  double wallMs, cpuMs;
};

template <typename F>
Timing median(int runs, F&& f) {
  std::vector<double> wall, cpu;
  for (int i = 0; i < runs; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    const std::clock_t c0 = std::clock();
    f();
    cpu.push_back(1000.0 * static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC);
    wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  return Timing{wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

}  // namespace

int main() {
  dvx::HttpResponse answer;
  answer.status = 200;
  answer.contentType = "application/rdap+json";
  answer.body = bigAnswer();
  dvx::RdapFacts facts;
  const int runs = 15;
  const Timing extract = median(runs, [&] { facts = dvx::extractRdapFacts(answer, "big-example.com"); });

  dvx::RdapBootstrap bootstrap;
  bool parsed = false;
  const Timing parse = median(runs, [&] { parsed = dvx::RdapBootstrap::parse(dvx::shippedBootstrapJson(), bootstrap); });

  const std::vector<std::string> names = {"example.com", "WWW.Example.Org", "shop.example.com.br", "a.b.c.example.co.uk",
                                          "example.cn", "example.com.cn", "example.xn--55qx5d", "example.jp",
                                          "name.shop", "a.really.long.sub.domain.example.net."};
  const int rounds = 100000;
  size_t found = 0;
  const Timing match = median(5, [&] {
    found = 0;
    for (int r = 0; r < rounds; ++r)
      for (const std::string& n : names) found += !bootstrap.domainUrl(n).empty();
  });
  const double perNameUs = match.wallMs * 1000.0 / (static_cast<double>(rounds) * names.size());

  const bool ok = parsed && facts.registration == "1999/02/02" && facts.expiration == "2030/12/31" &&
                  facts.registrar == "Big Registrar, Inc." && found == static_cast<size_t>(rounds) * 7;
  const double perNameCpuUs = match.cpuMs * 1000.0 / (static_cast<double>(rounds) * names.size());
  std::printf("RDAP answer of %zu bytes, extraction (median of %d):   %8.2f ms wall %8.2f ms cpu  reg=%s exp=%s\n",
              answer.body.size(), runs, extract.wallMs, extract.cpuMs, facts.registration.c_str(),
              facts.expiration.c_str());
  std::printf("shipped bootstrap (%zu entries), parse (median of %d):  %8.2f ms wall %8.2f ms cpu\n",
              bootstrap.entryCount(), runs, parse.wallMs, parse.cpuMs);
  std::printf("bootstrap match, %zu names x %d:                    %8.3f us wall %8.3f us cpu per name\n",
              names.size(), rounds, perNameUs, perNameCpuUs);
  if (!ok) std::printf("UNEXPECTED RESULTS\n");
  return ok ? 0 : 1;
}
