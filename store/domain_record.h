// One row of the table Domains in memory. A value: it owns its texts.
#pragma once
#include <cstdint>
#include <string>

namespace dvx {

struct DomainRecord {
  int32_t id = 0;
  std::string Domain, RegDate, ExpireDate, BaiduS, GoogleS, LastUpdate, Registeracom,
      Registrant, DomainAdmin, AAA1;
};

}  // namespace dvx
