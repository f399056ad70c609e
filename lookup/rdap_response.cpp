#include "lookup/rdap_response.h"

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "lookup/rdap_date.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

using Json = nlohmann::json;

// What an answer's domain object holds that the facts come from.
struct EntityFacts {
  bool registrar = false;
  std::string fn, org;
  std::vector<size_t> children;  // nested entities, by index
};

struct DomainFacts {
  std::string objectClassName, ldhName;
  bool hasErrorCode = false;
  std::vector<std::pair<std::string, std::string>> events;  // action, date
  std::vector<EntityFacts> entities;
  std::vector<size_t> topEntities;
};

// Reads the answer as a stream of parse events and keeps only the members
// the facts come from, so a large answer costs little more than its
// scanning: no document is built. Every other member, whatever its type, is
// passed over; a member of the wrong type counts as absent.
class DomainReader : public nlohmann::json_sax<Json> {
 public:
  explicit DomainReader(DomainFacts& out) : out_(out) {}

  bool null() override { return scalar(); }
  bool boolean(bool) override { return scalar(); }
  bool number_integer(number_integer_t) override { return scalar(); }
  bool number_unsigned(number_unsigned_t) override { return scalar(); }
  bool number_float(number_float_t, const string_t&) override { return scalar(); }
  bool binary(binary_t&) override { return scalar(); }

  bool string(string_t& value) override {
    const Kind kind = childKind();
    switch (kind) {
      case Kind::RootClass: out_.objectClassName = value; break;
      case Kind::RootName: out_.ldhName = value; break;
      case Kind::EventAction: action_ = value; break;
      case Kind::EventDate: date_ = value; break;
      case Kind::Role:
        if (asciiLower(value) == "registrar") out_.entities[entity()].registrar = true;
        break;
      case Kind::PropName: propName_ = value; break;
      case Kind::PropValue:
        if (propValue_.empty()) propValue_ = value;
        break;
      default: break;
    }
    return scalar();
  }

  bool key(string_t& name) override {
    if (!frames_.empty()) frames_.back().key = name;
    return true;
  }

  bool start_object(std::size_t) override {
    Kind kind = frames_.empty() ? Kind::Root : childKind();
    if (kind == Kind::RootErrorCode) out_.hasErrorCode = true;
    if (kind == Kind::Event) {
      action_.clear();
      date_.clear();
    } else if (kind == Kind::Entity) {
      out_.entities.emplace_back();
      const size_t index = out_.entities.size() - 1;
      if (entityStack_.empty()) out_.topEntities.push_back(index);
      else out_.entities[entityStack_.back()].children.push_back(index);
      entityStack_.push_back(index);
    } else if (kind != Kind::Root) {
      kind = Kind::Other;
    }
    return push(kind, true);
  }

  bool end_object() override {
    if (frames_.empty()) return false;
    const Kind kind = frames_.back().kind;
    if (kind == Kind::Event) out_.events.emplace_back(action_, date_);
    if (kind == Kind::Entity) entityStack_.pop_back();
    frames_.pop_back();
    advance();
    return true;
  }

  bool start_array(std::size_t) override {
    Kind kind = childKind();
    if (kind == Kind::RootErrorCode) out_.hasErrorCode = true;
    if (kind == Kind::PropValue) kind = Kind::PropValueList;
    if (kind == Kind::Prop) {
      propName_.clear();
      propValue_.clear();
    }
    if (kind != Kind::Events && kind != Kind::Entities && kind != Kind::Roles && kind != Kind::Vcard &&
        kind != Kind::Props && kind != Kind::Prop && kind != Kind::PropValueList) {
      kind = Kind::Other;
    }
    return push(kind, false);
  }

  bool end_array() override {
    if (frames_.empty()) return false;
    if (frames_.back().kind == Kind::Prop) takeProperty();
    frames_.pop_back();
    advance();
    return true;
  }

  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  enum class Kind {
    Other, Root, RootClass, RootName, RootErrorCode, Events, Event, EventAction, EventDate,
    Entities, Entity, Roles, Role, Vcard, Props, Prop, PropName, PropValue, PropValueList
  };
  struct Frame {
    Kind kind;
    bool object;
    std::string key;   // the member being read, in an object
    size_t index = 0;  // the element being read, in an array
  };

  // What the next value inside the current container is.
  Kind childKind() const {
    if (frames_.empty()) return Kind::Other;
    const Frame& f = frames_.back();
    switch (f.kind) {
      case Kind::Root:
        if (f.key == "objectClassName") return Kind::RootClass;
        if (f.key == "ldhName") return Kind::RootName;
        if (f.key == "errorCode") return Kind::RootErrorCode;
        if (f.key == "events") return Kind::Events;
        if (f.key == "entities") return Kind::Entities;
        return Kind::Other;
      case Kind::Events: return Kind::Event;
      case Kind::Event:
        if (f.key == "eventAction") return Kind::EventAction;
        if (f.key == "eventDate") return Kind::EventDate;
        return Kind::Other;
      case Kind::Entities: return Kind::Entity;
      case Kind::Entity:
        if (f.key == "roles") return Kind::Roles;
        if (f.key == "vcardArray") return Kind::Vcard;
        if (f.key == "entities") return Kind::Entities;
        return Kind::Other;
      case Kind::Roles: return Kind::Role;
      case Kind::Vcard: return f.index == 1 ? Kind::Props : Kind::Other;
      case Kind::Props: return Kind::Prop;
      // [name, params, type, value]; org's value may be a list of parts.
      case Kind::Prop:
        if (f.index == 0) return Kind::PropName;
        if (f.index == 3) return Kind::PropValue;
        return Kind::Other;
      case Kind::PropValueList: return f.index == 0 ? Kind::PropValue : Kind::Other;
      default: return Kind::Other;
    }
  }

  bool push(Kind kind, bool object) {
    frames_.push_back(Frame{kind, object, std::string(), 0});
    return true;
  }

  // A scalar value has been read: errorCode of any type counts, and the
  // enclosing array moves to its next element.
  bool scalar() {
    if (childKind() == Kind::RootErrorCode) out_.hasErrorCode = true;
    advance();
    return true;
  }

  void advance() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().index;
  }

  size_t entity() const { return entityStack_.back(); }

  void takeProperty() {
    if (entityStack_.empty()) return;
    EntityFacts& e = out_.entities[entity()];
    const std::string value = trimSpaces(propValue_);
    if (value.empty()) return;
    if (propName_ == "fn" && e.fn.empty()) e.fn = value;
    if (propName_ == "org" && e.org.empty()) e.org = value;
  }

  DomainFacts& out_;
  std::vector<Frame> frames_;
  std::vector<size_t> entityStack_;
  std::string action_, date_, propName_, propValue_;
};

const int kMaxEntityDepth = 8;

// Depth-first, the first nested entity with a name wins.
std::string nestedName(const DomainFacts& d, const EntityFacts& e, int depth) {
  if (depth > kMaxEntityDepth) return std::string();
  for (size_t child : e.children) {
    const EntityFacts& c = d.entities[child];
    std::string name = !c.fn.empty() ? c.fn : nestedName(d, c, depth + 1);
    if (!name.empty()) return name;
  }
  return std::string();
}

const EntityFacts* findRegistrar(const DomainFacts& d, const std::vector<size_t>& among, int depth) {
  if (depth > kMaxEntityDepth) return nullptr;
  for (size_t index : among) {
    const EntityFacts& e = d.entities[index];
    if (e.registrar) return &e;
    if (const EntityFacts* inner = findRegistrar(d, e.children, depth + 1)) return inner;
  }
  return nullptr;
}

std::string registrarName(const DomainFacts& d) {
  const EntityFacts* registrar = findRegistrar(d, d.topEntities, 0);
  if (!registrar) return std::string();
  if (!registrar->fn.empty()) return registrar->fn;
  if (!registrar->org.empty()) return registrar->org;
  return nestedName(d, *registrar, 0);
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

bool isHtml(const std::string& contentType, const std::string& body) {
  if (findText(contentType, "html", true) != -1) return true;
  const size_t start = body.find_first_not_of(" \t\r\n");
  return start != std::string::npos && body[start] == '<';
}

RdapFacts factsOf(const DomainFacts& d, const std::string& domain) {
  RdapFacts facts;
  if (d.hasErrorCode || asciiLower(d.objectClassName) != "domain") return facts;
  if (!d.ldhName.empty() && isAscii(domain) && withoutTrailingDot(d.ldhName) != withoutTrailingDot(domain))
    return facts;
  std::string registrarExpiration;
  for (const auto& event : d.events) {
    const std::string action = asciiLower(event.first);
    const std::string day = rdapDateToUtcDay(event.second);
    if (day.empty()) continue;
    if (action == "registration" && facts.registration.empty()) facts.registration = day;
    else if (action == "expiration" && facts.expiration.empty()) facts.expiration = day;
    else if (action == "registrar expiration" && registrarExpiration.empty()) registrarExpiration = day;
  }
  if (facts.expiration.empty()) facts.expiration = registrarExpiration;
  facts.registrar = utf8ToGbk(registrarName(d));
  return facts;
}

}  // namespace

RdapFacts extractRdapFacts(const HttpResponse& response, const std::string& domain) {
  try {
    // The status decides; a body is read only on success, and never an HTML
    // one (a CDN's or firewall's page).
    if (response.status != 200 || isHtml(response.contentType, response.body)) return RdapFacts();
    DomainFacts d;
    DomainReader reader(d);
    if (!Json::sax_parse(response.body, &reader)) return RdapFacts();
    return factsOf(d, domain);
  } catch (...) {
    return RdapFacts();
  }
}

}  // namespace dvx
