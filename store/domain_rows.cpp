#include "store/domain_rows.h"

#include <cstring>

#include "store/normalise_domain.h"
#include "text/gbk_text.h"

namespace dvx {
namespace {

// Tab, comma, semicolon, quote, CR and LF are all below 0x40, so none is
// ever the second byte of a GBK character: the reader goes byte by byte.
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }
bool isSeparator(char c) { return c == '\t' || c == ',' || c == ';'; }

// A line's separator: a tab if it holds one, else the more frequent of comma
// and semicolon (comma on a tie); 0 when it holds none.
char separatorOf(const char* begin, const char* end) {
  size_t commas = 0, semicolons = 0;
  for (const char* p = begin; p < end; ++p) {
    if (*p == '\t') return '\t';
    if (*p == ',') ++commas;
    if (*p == ';') ++semicolons;
  }
  if (commas == 0 && semicolons == 0) return 0;
  return semicolons > commas ? ';' : ',';
}

// Only blanks (ASCII and full-width spaces), or nothing.
bool isBlank(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ' ') continue;
    if (text[i] == '\xA1' && i + 1 < text.size() && text[i + 1] == '\xA1') {
      ++i;
      continue;
    }
    return false;
  }
  return true;
}

// The header names of a domain column; "name" only when nothing better is
// there, as a registrar's table may name its owner column "Name" too.
int domainColumnOf(const std::vector<std::string>& header) {
  static const char* const kDomainTitles[] = {"domain", "domain name", "domainname", "域名", "域名名称"};
  int nameColumn = -1;
  for (size_t i = 0; i < header.size(); ++i) {
    const std::string title = asciiLower(trimSpaces(header[i]));
    for (const char* wanted : kDomainTitles)
      if (title == wanted) return static_cast<int>(i);
    if (title == "name" && nameColumn < 0) nameColumn = static_cast<int>(i);
  }
  return nameColumn;
}

class RowReader {
 public:
  explicit RowReader(const std::string& text) : text_(text) {}

  // The separator the text's rows share, from its first line holding one.
  void chooseTextSeparator() {
    const char* const begin = text_.data();
    const char* const end = begin + text_.size();
    const char* p = begin;
    while (p < end && !isSeparator(*p)) ++p;
    if (p == end) return;
    const char* lineBegin = p;
    while (lineBegin > begin && !isLineEnd(lineBegin[-1])) --lineBegin;
    const char* lineEnd = p;
    while (lineEnd < end && !isLineEnd(*lineEnd)) ++lineEnd;
    textSeparator_ = separatorOf(lineBegin, lineEnd);
  }

  bool atEnd() const { return pos_ >= text_.size(); }

  // Reads the next line or row into fields() (a plain line is its one
  // field). False for a plain line, true for a row of fields.
  bool next() {
    count_ = 0;
    const size_t lineEnd = findLineEnd(pos_);
    const char* const line = text_.data() + pos_;
    const char own = separatorOf(line, text_.data() + lineEnd);
    const bool quoted = !quotesOff_ && pos_ < lineEnd && text_[pos_] == '"';
    if (own == 0 && !quoted) {
      newField().assign(text_, pos_, lineEnd - pos_);
      pos_ = skipLineEnd(lineEnd);
      return false;
    }
    char separator = own;
    if (textSeparator_ != 0 && std::memchr(line, textSeparator_, lineEnd - pos_) != nullptr)
      separator = textSeparator_;
    if (separator == 0) separator = textSeparator_ != 0 ? textSeparator_ : ',';
    readFields(separator);
    return true;
  }

  size_t fieldCount() const { return count_; }
  const std::string& field(size_t i) const { return fields_[i]; }
  std::vector<std::string> fields() const {
    return std::vector<std::string>(fields_.begin(), fields_.begin() + static_cast<std::ptrdiff_t>(count_));
  }

 private:
  // The next field's text, emptied. The strings are kept from row to row,
  // so a long file costs no allocation per field.
  std::string& newField() {
    if (count_ == fields_.size()) fields_.emplace_back();
    std::string& field = fields_[count_++];
    field.clear();
    return field;
  }

  size_t findLineEnd(size_t from) const {
    while (from < text_.size() && !isLineEnd(text_[from])) ++from;
    return from;
  }
  size_t skipLineEnd(size_t at) const {
    if (at < text_.size() && text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n') return at + 2;
    return at < text_.size() ? at + 1 : at;
  }

  // One record from pos_: fields up to the line end that is outside quotes.
  void readFields(char separator) {
    const size_t n = text_.size();
    for (;;) {
      std::string& field = newField();
      // After a closing quote, anything up to the separator is kept as it
      // stands, as spreadsheet programs do.
      if (!quotesOff_ && pos_ < n && text_[pos_] == '"') readQuoted(field);
      size_t end = pos_;
      while (end < n && text_[end] != separator && !isLineEnd(text_[end])) ++end;
      field.append(text_, pos_, end - pos_);
      pos_ = end;
      if (pos_ < n && text_[pos_] == separator) {
        ++pos_;
        continue;
      }
      pos_ = skipLineEnd(pos_);
      return;
    }
  }

  // A quoted field from the quote at pos_, into `field`. A quote never
  // closed is left as an ordinary character (nothing read), and from then
  // on no quote opens a field: the search for a closing quote then runs
  // once, not per field.
  void readQuoted(std::string& field) {
    size_t from = pos_ + 1;
    for (;;) {
      const size_t quote = text_.find('"', from);
      if (quote == std::string::npos) {
        quotesOff_ = true;
        field.clear();
        return;
      }
      field.append(text_, from, quote - from);
      if (quote + 1 < text_.size() && text_[quote + 1] == '"') {
        field.push_back('"');
        from = quote + 2;
        continue;
      }
      pos_ = quote + 1;
      return;
    }
  }

  const std::string& text_;
  size_t pos_ = 0;
  char textSeparator_ = 0;
  bool quotesOff_ = false;
  std::vector<std::string> fields_;
  size_t count_ = 0;
};

}  // namespace

DomainRows readDomainRows(const std::string& text) {
  DomainRows result;
  try {
    RowReader reader(text);
    reader.chooseTextSeparator();
    bool first = true;
    int domainColumn = -1;
    auto take = [&](std::string name) {
      if (name.empty()) {
        ++result.skippedRows;
      } else {
        result.names.push_back(std::move(name));
      }
    };
    while (!reader.atEnd()) {
      const bool row = reader.next();
      const size_t count = reader.fieldCount();
      bool blank = true;
      for (size_t i = 0; blank && i < count; ++i) blank = isBlank(reader.field(i));
      if (blank) continue;
      if (first) {
        // The first line or row names the domain column, or is data.
        first = false;
        domainColumn = domainColumnOf(reader.fields());
        if (domainColumn >= 0) continue;
      }
      if (!row) {
        take(normaliseDomain(reader.field(0)));
        continue;
      }
      std::string name;
      if (domainColumn >= 0 && static_cast<size_t>(domainColumn) < count)
        name = normaliseDomain(reader.field(static_cast<size_t>(domainColumn)));
      for (size_t i = 0; name.empty() && i < count; ++i) name = normaliseDomain(reader.field(i));
      take(std::move(name));
    }
  } catch (...) {
    // Out of memory: what was read so far.
  }
  return result;
}

std::string importSummary(const AddOutcome& outcome, size_t skippedRows,
                          const std::vector<std::string>& unreadableFiles) {
  std::string text = "导入完成: 新增 " + std::to_string(outcome.added) + " 个, 已存在 " +
                     std::to_string(outcome.existing) + " 个, 跳过 " + std::to_string(skippedRows) + " 行";
  if (outcome.failed > 0) text += "\r\n" + std::to_string(outcome.failed) + " 个域名未能保存到数据库";
  for (const std::string& file : unreadableFiles) text += "\r\n无法读取文件: " + file;
  return text;
}

}  // namespace dvx
