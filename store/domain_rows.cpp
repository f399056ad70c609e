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

bool isBlank(const std::string& text) { return trimSpaces(text).empty(); }

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

  // Reads the next line or row. False for a plain line (its text in
  // `fields[0]`), true for a row of fields.
  bool next(std::vector<std::string>& fields) {
    fields.clear();
    const size_t lineEnd = findLineEnd(pos_);
    const char* const line = text_.data() + pos_;
    const char* const lineStop = text_.data() + lineEnd;
    const char own = separatorOf(line, lineStop);
    const bool quoted = !quotesOff_ && pos_ < lineEnd && text_[pos_] == '"';
    if (own == 0 && !quoted) {
      fields.emplace_back(text_, pos_, lineEnd - pos_);
      pos_ = skipLineEnd(lineEnd);
      return false;
    }
    char separator = own;
    if (textSeparator_ != 0 && std::memchr(line, textSeparator_, lineEnd - pos_) != nullptr)
      separator = textSeparator_;
    if (separator == 0) separator = textSeparator_ != 0 ? textSeparator_ : ',';
    readFields(separator, fields);
    return true;
  }

 private:
  size_t findLineEnd(size_t from) const {
    while (from < text_.size() && !isLineEnd(text_[from])) ++from;
    return from;
  }
  size_t skipLineEnd(size_t at) const {
    if (at < text_.size() && text_[at] == '\r' && at + 1 < text_.size() && text_[at + 1] == '\n') return at + 2;
    return at < text_.size() ? at + 1 : at;
  }

  // One record from pos_: fields up to the line end that is outside quotes.
  void readFields(char separator, std::vector<std::string>& fields) {
    const size_t n = text_.size();
    for (;;) {
      std::string field;
      if (!quotesOff_ && pos_ < n && text_[pos_] == '"' && readQuoted(field)) {
        // Anything between the closing quote and the separator is kept as
        // it stands, as spreadsheet programs do.
      }
      while (pos_ < n && text_[pos_] != separator && !isLineEnd(text_[pos_])) field.push_back(text_[pos_++]);
      fields.push_back(std::move(field));
      if (pos_ < n && text_[pos_] == separator) {
        ++pos_;
        continue;
      }
      pos_ = skipLineEnd(pos_);
      return;
    }
  }

  // A quoted field from the quote at pos_. A quote never closed is left
  // as an ordinary character (false), and from then on no quote opens a
  // field: the search for a closing quote then runs once, not per field.
  bool readQuoted(std::string& field) {
    size_t from = pos_ + 1;
    std::string value;
    for (;;) {
      const size_t quote = text_.find('"', from);
      if (quote == std::string::npos) {
        quotesOff_ = true;
        return false;
      }
      value.append(text_, from, quote - from);
      if (quote + 1 < text_.size() && text_[quote + 1] == '"') {
        value.push_back('"');
        from = quote + 2;
        continue;
      }
      pos_ = quote + 1;
      field = std::move(value);
      return true;
    }
  }

  const std::string& text_;
  size_t pos_ = 0;
  char textSeparator_ = 0;
  bool quotesOff_ = false;
};

}  // namespace

DomainRows readDomainRows(const std::string& text) {
  DomainRows result;
  try {
    RowReader reader(text);
    reader.chooseTextSeparator();
    std::vector<std::string> fields;
    bool first = true;
    int domainColumn = -1;
    while (!reader.atEnd()) {
      if (!reader.next(fields)) {
        if (isBlank(fields[0])) continue;
        // A one-column table's header: a title alone on the first line.
        if (first && domainColumnOf(fields) == 0) {
          first = false;
          continue;
        }
        first = false;
        std::string name = normaliseDomain(fields[0]);
        if (name.empty()) {
          ++result.skippedRows;
        } else {
          result.names.push_back(std::move(name));
        }
        continue;
      }
      bool blank = true;
      for (const std::string& f : fields) blank = blank && isBlank(f);
      if (blank) continue;
      if (first) {
        first = false;
        domainColumn = domainColumnOf(fields);
        if (domainColumn >= 0) continue;  // the header row
      }
      std::string name;
      if (domainColumn >= 0 && static_cast<size_t>(domainColumn) < fields.size())
        name = normaliseDomain(fields[static_cast<size_t>(domainColumn)]);
      for (size_t i = 0; name.empty() && i < fields.size(); ++i) name = normaliseDomain(fields[i]);
      if (name.empty()) {
        ++result.skippedRows;
      } else {
        result.names.push_back(std::move(name));
      }
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
