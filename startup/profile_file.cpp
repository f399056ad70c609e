#include "startup/profile_file.h"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "text/gbk_text.h"

namespace dvx {
namespace fs = std::filesystem;

namespace {

bool readLines(const fs::path& file, std::vector<std::string>& lines) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::string all(kMaxProfileFile, '\0');
  in.read(&all[0], static_cast<std::streamsize>(all.size()));
  all.resize(static_cast<size_t>(in.gcount()));
  // A line cut by the bound is not read: its value would be cut short.
  if (all.size() == kMaxProfileFile && in.peek() != std::char_traits<char>::eof())
    all.resize(all.rfind('\n') == std::string::npos ? 0 : all.rfind('\n') + 1);
  size_t start = 0;
  while (start < all.size()) {
    size_t end = all.find('\n', start);
    if (end == std::string::npos) end = all.size();
    std::string line = all.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return true;
}

std::string trimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

bool sameName(const std::string& a, const std::string& b) { return asciiUpper(a) == asciiUpper(b); }

// "[name]" -> name; anything else -> false.
bool sectionName(const std::string& line, std::string& name) {
  const std::string t = trimBlanks(line);
  if (t.size() < 2 || t.front() != '[') return false;
  const size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = trimBlanks(t.substr(1, close - 1));
  return true;
}

bool keyLine(const std::string& line, std::string& key, std::string& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = trimBlanks(line.substr(0, eq));
  value = trimBlanks(line.substr(eq + 1));
  return true;
}

}  // namespace

std::string readProfileString(const fs::path& file, const std::string& section,
                              const std::string& key, const std::string& fallback) {
  if (file.empty() || section.empty() || key.empty()) return std::string();
  std::vector<std::string> lines;
  if (!readLines(file, lines)) return fallback.substr(0, kMaxProfileValue);
  bool inSection = false;
  for (const std::string& line : lines) {
    std::string name, k, v;
    if (sectionName(line, name)) {
      inSection = sameName(name, section);
      continue;
    }
    if (inSection && keyLine(line, k, v) && sameName(k, key)) {
      // A value written between matching quotes reads without them.
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      return v.substr(0, kMaxProfileValue);
    }
  }
  return fallback.substr(0, kMaxProfileValue);
}

bool writeProfileString(const fs::path& file, const std::string& section,
                        const std::string& key, const std::string& value) {
  if (file.empty() || section.empty() || key.empty()) return false;
  std::vector<std::string> lines;
  readLines(file, lines);  // a missing file starts empty

  const std::string entry = key + "=" + value;
  bool inSection = false, sectionSeen = false, done = false;
  size_t sectionEnd = 0;  // index after the last line of our section
  for (size_t i = 0; i < lines.size() && !done; ++i) {
    std::string name, k, v;
    if (sectionName(lines[i], name)) {
      if (inSection) break;
      inSection = sameName(name, section);
      if (inSection) {
        sectionSeen = true;
        sectionEnd = i + 1;
      }
      continue;
    }
    if (!inSection) continue;
    if (keyLine(lines[i], k, v) && sameName(k, key)) {
      lines[i] = entry;
      done = true;
    } else if (!trimBlanks(lines[i]).empty()) {
      sectionEnd = i + 1;
    }
  }
  if (!done) {
    if (sectionSeen) {
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
    } else {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    }
  }

  std::string out;
  for (const std::string& l : lines) out += l + "\r\n";
  const fs::path& target = file;
  fs::path temp = target;
  temp += ".new";
  std::error_code ec;
  // A link planted under the temporary name is removed, not written through.
  fs::remove(temp, ec);
  {
    std::ofstream o(temp, std::ios::binary | std::ios::trunc);
    if (!o) return false;
    o.write(out.data(), static_cast<std::streamsize>(out.size()));
    o.flush();
    if (!o) {
      o.close();
      fs::remove(temp, ec);
      return false;
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace dvx
