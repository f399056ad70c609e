#include "lookup/rdap_response.h"

#include <nlohmann/json.hpp>

#include "lookup/rdap_date.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

using Json = nlohmann::json;

// Members are read only through these: a member of the wrong type counts as
// absent, so no access can throw.
const Json* member(const Json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  auto it = object.find(name);
  return it == object.end() ? nullptr : &*it;
}

std::string stringMember(const Json& object, const char* name) {
  const Json* v = member(object, name);
  return v && v->is_string() ? v->get_ref<const std::string&>() : std::string();
}

const Json* arrayMember(const Json& object, const char* name) {
  const Json* v = member(object, name);
  return v && v->is_array() ? v : nullptr;
}

bool isHtml(const std::string& contentType, const std::string& body) {
  if (findText(contentType, "html", true) != -1) return true;
  const size_t start = body.find_first_not_of(" \t\r\n");
  return start != std::string::npos && body[start] == '<';
}

// A jCard property's text value ("fn", "org"); "" when absent or blank.
std::string vcardText(const Json& entity, const char* property) {
  const Json* card = arrayMember(entity, "vcardArray");
  if (!card || card->size() < 2 || !(*card)[1].is_array()) return std::string();
  for (const Json& p : (*card)[1]) {
    if (!p.is_array() || p.size() < 4 || !p[0].is_string() || p[0].get_ref<const std::string&>() != property)
      continue;
    // org may be structured: its first component is the name.
    const Json* value = &p[3];
    if (value->is_array() && !value->empty()) value = &(*value)[0];
    if (!value->is_string()) continue;
    std::string text = trimSpaces(value->get_ref<const std::string&>());
    if (!text.empty()) return text;
  }
  return std::string();
}

bool hasRole(const Json& entity, const char* role) {
  const Json* roles = arrayMember(entity, "roles");
  if (!roles) return false;
  for (const Json& r : *roles)
    if (r.is_string() && asciiLower(r.get_ref<const std::string&>()) == role) return true;
  return false;
}

// Depth-first through the nested entities, the first with a name wins.
std::string nestedName(const Json& entity, int depth) {
  const Json* nested = arrayMember(entity, "entities");
  if (!nested || depth > 8) return std::string();
  for (const Json& e : *nested) {
    std::string name = vcardText(e, "fn");
    if (name.empty()) name = nestedName(e, depth + 1);
    if (!name.empty()) return name;
  }
  return std::string();
}

const Json* findRegistrar(const Json& holder, int depth) {
  const Json* entities = arrayMember(holder, "entities");
  if (!entities || depth > 8) return nullptr;
  for (const Json& e : *entities) {
    if (hasRole(e, "registrar")) return &e;
    if (const Json* inner = findRegistrar(e, depth + 1)) return inner;
  }
  return nullptr;
}

std::string registrarName(const Json& domainObject) {
  const Json* registrar = findRegistrar(domainObject, 0);
  if (!registrar) return std::string();
  std::string name = vcardText(*registrar, "fn");
  if (name.empty()) name = vcardText(*registrar, "org");
  if (name.empty()) name = nestedName(*registrar, 0);
  return name;
}

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

std::string withoutTrailingDot(std::string name) {
  if (!name.empty() && name.back() == '.') name.pop_back();
  return asciiLower(name);
}

RdapFacts readDomainObject(const Json& root, const std::string& domain) {
  RdapFacts facts;
  if (!root.is_object() || member(root, "errorCode") != nullptr) return facts;
  if (asciiLower(stringMember(root, "objectClassName")) != "domain") return facts;
  const std::string ldhName = stringMember(root, "ldhName");
  if (!ldhName.empty() && isAscii(domain) && withoutTrailingDot(ldhName) != withoutTrailingDot(domain))
    return facts;

  std::string registrarExpiration;
  if (const Json* events = arrayMember(root, "events")) {
    for (const Json& e : *events) {
      const std::string action = asciiLower(stringMember(e, "eventAction"));
      const std::string day = rdapDateToUtcDay(stringMember(e, "eventDate"));
      if (day.empty()) continue;
      if (action == "registration" && facts.registration.empty()) facts.registration = day;
      else if (action == "expiration" && facts.expiration.empty()) facts.expiration = day;
      else if (action == "registrar expiration" && registrarExpiration.empty()) registrarExpiration = day;
    }
  }
  if (facts.expiration.empty()) facts.expiration = registrarExpiration;
  facts.registrar = utf8ToGbk(registrarName(root));
  return facts;
}

}  // namespace

RdapFacts extractRdapFacts(const HttpResponse& response, const std::string& domain) {
  try {
    // The status decides; a body is read only on success, and never an HTML
    // one (a CDN's or firewall's page).
    if (response.status != 200 || isHtml(response.contentType, response.body)) return RdapFacts();
    const Json root = Json::parse(response.body, nullptr, false);
    if (root.is_discarded()) return RdapFacts();
    return readDomainObject(root, domain);
  } catch (...) {
    return RdapFacts();
  }
}

}  // namespace dvx
