#include "lookup/rdap_response.h"

#include <cstdint>
#include <vector>

#include <nlohmann/json.hpp>

#include "lookup/idna.h"
#include "lookup/rdap_date.h"
#include "text/codepage.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

using Json = nlohmann::json;

// Hostile answers cannot make the reader keep or do more than these:
// entities nested deeper than any registrar or nested name is looked for,
// more entities or events than any registry sends, and the texts that are
// only compared (class, name, action, date, property name) beyond any real
// length. Real answers read exactly as without the limits.
const int kMaxEntityDepth = 8;
const size_t kMaxEntityNesting = 2 * kMaxEntityDepth + 2;
const size_t kMaxEntities = 65536;
const size_t kMaxEvents = 65536;
const size_t kMaxComparedText = 1024;

// What an answer's domain object holds that the facts come from.
struct EntityFacts {
  bool registrar = false;
  std::string fn, org;
  std::vector<size_t> children;  // nested entities, by index
};

struct DomainFacts {
  std::string objectClassName, ldhName;
  bool hasErrorCode = false;
  // The first readable day of each action, in answer order.
  std::string registration, expiration, registrarExpiration;
  std::vector<EntityFacts> entities;
  std::vector<size_t> topEntities;
};

// A compared text that is longer than any real one cannot match what it is
// compared with; keeping a stand-in saves holding a huge copy.
std::string compared(const std::string& value) {
  return value.size() > kMaxComparedText ? std::string("\x01") : value;
}

// Reads the answer as a stream of parse events and keeps only the members
// the facts come from, so a large answer costs little more than its
// scanning: no document is built. Every other member, whatever its type, is
// passed over; a member of the wrong type counts as absent. Containers that
// cannot hold a fact are only counted, so deep nesting costs nothing.
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
    if (skipped_ > 0) return true;
    const Kind kind = childKind();
    switch (kind) {
      case Kind::RootClass: out_.objectClassName = compared(value); break;
      case Kind::RootName: out_.ldhName = compared(value); break;
      case Kind::EventAction: action_ = compared(value); break;
      case Kind::EventDate: date_ = compared(value); break;
      case Kind::Role:
        if (value.size() == 9 && asciiLower(value) == "registrar") out_.entities[entity()].registrar = true;
        break;
      case Kind::PropName: propName_ = compared(value); break;
      case Kind::PropValue:
        if (propValue_.empty()) propValue_ = value;
        break;
      default: break;
    }
    return scalar();
  }

  bool key(string_t& name) override {
    if (skipped_ == 0 && !frames_.empty()) frames_.back().key = compared(name);
    return true;
  }

  bool start_object(std::size_t) override {
    if (skipped_ > 0) return skip();
    Kind kind = frames_.empty() ? Kind::Root : childKind();
    if (kind == Kind::RootErrorCode) out_.hasErrorCode = true;
    if (kind == Kind::Event) {
      if (++eventCount_ > kMaxEvents) return skip();
      action_.clear();
      date_.clear();
    } else if (kind == Kind::Entity) {
      if (entityStack_.size() >= kMaxEntityNesting || out_.entities.size() >= kMaxEntities) return skip();
      out_.entities.emplace_back();
      const size_t index = out_.entities.size() - 1;
      if (entityStack_.empty()) out_.topEntities.push_back(index);
      else out_.entities[entityStack_.back()].children.push_back(index);
      entityStack_.push_back(index);
    } else if (kind != Kind::Root) {
      return skip();
    }
    return push(kind, true);
  }

  bool end_object() override { return end(); }

  bool start_array(std::size_t) override {
    if (skipped_ > 0) return skip();
    Kind kind = childKind();
    if (kind == Kind::RootErrorCode) out_.hasErrorCode = true;
    if (kind == Kind::PropValue) kind = Kind::PropValueList;
    if (kind == Kind::Prop) {
      propName_.clear();
      propValue_.clear();
    }
    if (kind != Kind::Events && kind != Kind::Entities && kind != Kind::Roles && kind != Kind::Vcard &&
        kind != Kind::Props && kind != Kind::Prop && kind != Kind::PropValueList) {
      return skip();
    }
    return push(kind, false);
  }

  bool end_array() override { return end(); }

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

  // A container no fact comes from: only its depth is counted. An errorCode
  // of any type still counts.
  bool skip() {
    if (skipped_ == 0 && childKind() == Kind::RootErrorCode) out_.hasErrorCode = true;
    ++skipped_;
    return true;
  }

  bool end() {
    if (skipped_ > 0) {
      if (--skipped_ == 0) advance();
      return true;
    }
    if (frames_.empty()) return false;
    const Kind kind = frames_.back().kind;
    if (kind == Kind::Event) takeEvent();
    if (kind == Kind::Entity) entityStack_.pop_back();
    if (kind == Kind::Prop) takeProperty();
    frames_.pop_back();
    advance();
    return true;
  }

  // A scalar value has been read: errorCode of any type counts, and the
  // enclosing array moves to its next element.
  bool scalar() {
    if (skipped_ > 0) return true;
    if (childKind() == Kind::RootErrorCode) out_.hasErrorCode = true;
    advance();
    return true;
  }

  void advance() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().index;
  }

  size_t entity() const { return entityStack_.back(); }

  // Events are judged as they end, so none is kept: the first readable day
  // of each action wins.
  void takeEvent() {
    const std::string action = asciiLower(action_);
    std::string* slot = action == "registration"           ? &out_.registration
                        : action == "expiration"           ? &out_.expiration
                        : action == "registrar expiration" ? &out_.registrarExpiration
                                                           : nullptr;
    if (slot == nullptr || !slot->empty()) return;
    *slot = rdapDateToUtcDay(date_);
  }

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
  size_t skipped_ = 0;  // depth inside a passed-over container
  size_t eventCount_ = 0;
  std::string action_, date_, propName_, propValue_;
};


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
  // The name is compared in its A-label form, so an answer for another
  // Chinese name is refused as surely as one for another ASCII name.
  if (!d.ldhName.empty()) {
    const std::string asked = toALabels(domain);
    if (asked.empty() || withoutTrailingDot(d.ldhName) != withoutTrailingDot(asked)) return facts;
  }
  facts.registration = d.registration;
  facts.expiration = !d.expiration.empty() ? d.expiration : d.registrarExpiration;
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
