// The names held by the add dialog's text or by an imported file, which may
// be a plain list (one name a line) or a table a spreadsheet or registrar
// exported (rows of fields).
//
// How the text is read:
// - Lines end at CR LF, a lone LF or a lone CR.
// - A line holding no tab, comma or semicolon (and not starting with a
//   quote) is a name, cleaned as always.
// - Any other line starts a row of fields. The text's separator is chosen
//   once, from the first line that holds any: a tab if it holds one, else
//   the more frequent of comma and semicolon (comma on a tie). A row whose
//   first line lacks that separator uses its own, chosen the same way.
//   Quotes follow RFC 4180: a field starting with a quote runs to the
//   closing quote, "" inside is a quote, and separators and line ends inside
//   belong to the field. A quote that is never closed is an ordinary
//   character, and so is every quote that opens a field after it (the rest
//   of the text is then read line by line rather than swallowed whole).
// - When the first non-empty row is a header naming a domain column
//   ("domain", "domain name", "domainname", "name", "域名", "域名名称", ASCII
//   letters in either case, blanks around ignored), each row's domain is that
//   column's field when it cleans to a host name, otherwise the row's first
//   field that does. Without such a header it is the row's first field that
//   cleans to a host name.
// - A first line holding only such a title is the header of a one-column
//   table.
// - The header row is not a name and not counted; a row or line that gives
//   no host name is counted as skipped, a line that is blank is not.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "store/domain_store.h"

namespace dvx {

struct DomainRows {
  std::vector<std::string> names;  // cleaned, in order (duplicates kept; the store stores once)
  size_t skippedRows = 0;          // rows (or lines) that held no host name; a header row is not counted
};

// Never throws (out of memory gives what was read so far).
DomainRows readDomainRows(const std::string& gbkText);

// The message shown when an import ends:
// "导入完成: 新增 N 个, 已存在 M 个, 跳过 K 行", then names that could not be
// stored and each file that could not be read, on lines of their own.
std::string importSummary(const AddOutcome& outcome, size_t skippedRows,
                          const std::vector<std::string>& unreadableFiles);

}  // namespace dvx
