#include "text/cfg_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/logfile.h"
#include "image/file_bytes.h"

namespace {

constexpr size_t kLine = 99;
constexpr size_t kField = 63;
constexpr size_t kToken = 4095;

std::string Cut(std::string s, size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

// The first word of a text: after leading spaces, up to the next space.
std::string FirstWord(const std::string& s) {
  size_t start = s.find_first_not_of(' ');
  if (start == std::string::npos) return "";
  size_t end = s.find(' ', start);
  return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

enum class Kind { Empty, Comment, Header, Entry };

Kind Classify(const std::string& line) {
  if (line.empty()) return Kind::Empty;
  std::string word = FirstWord(line);
  if (!word.empty() && word[0] == '#') return Kind::Comment;
  if (!word.empty() && word[0] == '[') return Kind::Header;
  return Kind::Entry;
}

std::string HeaderName(const std::string& line) {
  size_t start = 1;
  while (start < line.size() && line[start] == ']') ++start;
  size_t end = line.find(']', start);
  if (start > line.size()) return "";
  return Cut(line.substr(start, end == std::string::npos ? std::string::npos : end - start), kField);
}

void SplitEntry(const std::string& line, std::string& key, std::string& value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) {
    key = Cut(FirstWord(line), kField);
    value.clear();
    return;
  }
  key = Cut(FirstWord(line.substr(0, eq)), kField);
  std::string rest = line.substr(eq + 1);
  size_t start = rest.find_first_not_of(' ');
  if (start == std::string::npos) {
    value.clear();
  } else if (rest[start] == '"') {
    size_t close = rest.find('"', start + 1);
    value = rest.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1);
  } else {
    value = FirstWord(rest);
  }
  value = Cut(value, kField);
}

// Reads lines to the end: `visit(line, lines_so_far)`. After the last line
// the stream reports its end on one further, empty read, which counts too.
template <class Visit>
void ForEachLine(const uint8_t* data, size_t size, Visit visit) {
  CfgStream in{data, size};
  int32_t lines = 0;
  for (bool end = false; !end;) {
    const int32_t before = lines;
    std::string line = ReadToken(in, '\n', lines);
    end = lines == before;  // the end of the bytes came before a line end
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The count of lines up to and including this one, an unterminated last line too.
    visit(Cut(line, kLine), end ? lines + 1 : lines);
  }
}

}  // namespace

std::string ReadToken(CfgStream& in, char delimiter, int32_t& lines) {
  std::string out;
  while (in.position < in.size) {
    char c = static_cast<char>(in.data[in.position++]);
    if (c == '\n') ++lines;
    if (c == '\t') c = ' ';
    if (c == delimiter) break;
    if (out.size() < kToken) out += c;
  }
  return out;
}

std::string GetToken(const char* text, char delimiter, size_t& position) {
  std::string out;
  if (!text) return out;
  const size_t n = std::strlen(text);
  while (position < n && text[position] == delimiter) ++position;
  while (position < n && text[position] != delimiter) {
    if (out.size() < kToken) out += text[position];
    ++position;
  }
  return out;
}

std::string GetBlock(const char* text, size_t& position) {
  std::string out;
  if (!text) return out;
  const size_t n = std::strlen(text);
  int depth = 1;
  while (position < n) {
    char c = text[position++];
    out += c;
    if (c == '{') ++depth;
    if (c == '}' && --depth == 0) return out;
  }
  log_apu.status("ERROR", "number of '{' and '}' mismatch");
  return out;
}

bool FindInStream(CfgStream& in, const char* text, int32_t& lines) {
  const size_t n = text ? std::strlen(text) : 0;
  if (!n) return false;
  while (in.size > 0 && in.position < in.size - 1) {
    char c = static_cast<char>(in.data[in.position++]);
    if (c == '\n') ++lines;
    if (c != text[0]) continue;
    --in.position;  // step back and compare the whole text
    if (in.size - in.position >= n && std::memcmp(in.data + in.position, text, n) == 0) {
      in.position += n;
      return true;
    }
    in.position += std::min(n, in.size - in.position);
  }
  return false;
}

bool FindInString(const char* buffer, const char* text, size_t& position) {
  if (!buffer || !text || !*text) return false;
  const size_t n = std::strlen(buffer), m = std::strlen(text);
  for (; position < n; ++position)
    if (buffer[position] == text[0] && n - position >= m && std::memcmp(buffer + position, text, m) == 0) {
      position += m;
      return true;
    }
  return false;
}

bool ParseCfg(const uint8_t* data, size_t size, CfgFile& doc) {
  // Pass 1: every '[' needs a later ']'; each '[' met (outside a bracket
  // stretch) reserves a section.
  int32_t count = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] != '[') continue;
    ++count;
    const void* close = std::memchr(data + i + 1, ']', size - i - 1);
    if (!close) return false;
    i = size_t(static_cast<const uint8_t*>(close) - data);
  }
  doc.sections.assign(size_t(count), CfgSection{});
  doc.names.assign(size_t(count), std::string());
  doc.named.assign(size_t(count), false);
  doc.section_count = count;

  // Pass 2: entry slots per section, one per line between its header and the
  // separator before the next (comment lines do not count).
  int32_t n = -1, section = -1, comments = 0;
  ForEachLine(data, size, [&](const std::string& line, int32_t) {
    ++n;
    switch (Classify(line)) {
      case Kind::Comment:
        --n;
        ++comments;
        break;
      case Kind::Header:
        if (section >= 0 && section < count) doc.sections[size_t(section)].count = n - 1 > 0 ? n - 1 : 0;
        ++section;
        n = -1;
        break;
      default: break;
    }
  });
  if (section >= 0 && section < count) doc.sections[size_t(section)].count = n > 0 ? n : 0;
  doc.comment_count = comments;

  // Pass 3: fill. Lines before the first header belong to no section.
  section = -1;
  ForEachLine(data, size, [&](const std::string& line, int32_t lines) {
    switch (Classify(line)) {
      case Kind::Comment:
        doc.comment_lines.push_back(line);
        doc.comment_line_numbers.push_back(lines - 1);
        break;
      case Kind::Header:
        if (++section < count) {
          doc.names[size_t(section)] = HeaderName(line);
          doc.named[size_t(section)] = true;
        }
        break;
      case Kind::Entry: {
        if (section < 0 || section >= count) break;
        CfgSection& s = doc.sections[size_t(section)];
        std::string key, value;
        SplitEntry(line, key, value);
        s.keys.push_back(key);
        s.values.push_back(value);
        // A section one slot short (no separator before the next header, or no
        // final line end) grows its table instead of losing the entry.
        if (int32_t(s.keys.size()) > s.count) s.count = int32_t(s.keys.size());
        break;
      }
      case Kind::Empty: break;
    }
  });
  return true;
}

bool ReadCfgFile(const char* file_name, CfgFile& doc) {
  std::vector<uint8_t> bytes;
  if (!ReadFileBytes(file_name, bytes, uint64_t(64) << 20)) return false;
  return ParseCfg(bytes.data(), bytes.size(), doc);
}

const char* GetCfgValue(const CfgFile& doc, const char* section, const char* key) {
  if (!section || !key) return nullptr;
  for (size_t s = 0; s < doc.sections.size(); ++s) {
    if (!doc.named[s] || doc.names[s] != section) continue;
    const CfgSection& sec = doc.sections[s];
    for (size_t e = 0; e < sec.keys.size(); ++e)
      if (sec.keys[e] == key) return sec.values[e].c_str();
  }
  return nullptr;
}

bool SetCfgValue(CfgFile& doc, const char* section, const char* key, const char* value) {
  if (!section || !key || !value) return false;
  for (size_t s = 0; s < doc.sections.size(); ++s) {
    if (!doc.named[s] || doc.names[s] != section) continue;
    CfgSection& sec = doc.sections[s];
    for (size_t e = 0; e < sec.keys.size(); ++e)
      if (sec.keys[e] == key) {
        sec.values[e] = Cut(value, kField);
        return true;
      }
    return false;  // only the first section of the name is searched
  }
  return false;
}

std::string FormatCfg(const CfgFile& doc) {
  std::string out;
  int32_t L = 0;
  size_t c = 0;
  // A comment goes out at its own line, or at the first line written after it
  // when blank lines before it were not kept: moved at most, never lost.
  auto due = [&] {
    while (c < doc.comment_lines.size() && doc.comment_line_numbers[c] <= L) {
      out += doc.comment_lines[c] + "\n";
      ++c, ++L;
    }
  };
  bool first = true;
  for (size_t s = 0; s < doc.sections.size(); ++s) {
    if (!doc.named[s]) continue;  // reserved by a stray '[', filled by no header
    if (!first) {
      due();
      out += "\n";
      ++L;
    }
    first = false;
    due();
    out += "[" + doc.names[s] + "]\n";
    ++L;
    const CfgSection& sec = doc.sections[s];
    for (size_t e = 0; e < sec.keys.size(); ++e) {
      due();
      const std::string& v = sec.values[e];
      out += sec.keys[e] + " = " + (v.find(' ') != std::string::npos ? "\"" + v + "\"" : v) + "\n";
      ++L;
    }
  }
  due();
  // Comments after the last entry keep the blank lines before them.
  for (; c < doc.comment_lines.size(); ++c, ++L) {
    for (; L < doc.comment_line_numbers[c]; ++L) out += "\n";
    out += doc.comment_lines[c] + "\n";
  }
  return out;
}

bool WriteCfgFile(const char* file_name, const CfgFile& doc) {
  if (!file_name) return false;
  // A target that nobody may write stays as it is, for root too.
  struct stat target;
  if (::stat(file_name, &target) == 0 && (target.st_mode & 0222) == 0) return false;
  const std::string text = FormatCfg(doc);
  // A name of its own in the target's folder, so that the rename is atomic and no
  // file of the user's is overwritten on the way.
  std::string temporary = std::string(file_name) + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  }
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  // mkstemp makes the file private; the written file gets the usual permissions.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ok = ok && ::chmod(temporary.c_str(), 0666 & ~mask) == 0;
  std::error_code ec;
  if (ok) std::filesystem::rename(temporary, file_name, ec);
  if (!ok || ec) {
    std::filesystem::remove(temporary, ec);
    return false;
  }
  return true;
}
