#pragma once
// Definition files: sections headed by [name], entries key = value, comment lines
// beginning with '#', kept at the line numbers where they stood. Names, keys and
// values hold at most 63 characters and lines 99; longer ones are cut.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CfgSection {
  std::vector<std::string> keys;
  std::vector<std::string> values;
  int32_t count = 0;  // slots reserved; keys.size() of them are filled
};

struct CfgFile {
  std::vector<CfgSection> sections;
  std::vector<std::string> names;
  std::vector<bool> named;  // false for a section a stray '[' reserved and no header filled
  int32_t section_count = 0;
  int32_t comment_count = 0;
  std::vector<std::string> comment_lines;
  std::vector<int32_t> comment_line_numbers;
};

bool ReadCfgFile(const char* file_name, CfgFile& document);
// The same from bytes (tests and fuzzing).
bool ParseCfg(const uint8_t* data, size_t size, CfgFile& document);
const char* GetCfgValue(const CfgFile& document, const char* section, const char* key);
bool SetCfgValue(CfgFile& document, const char* section, const char* key, const char* value);
// Replaces the file only once the whole document was written (a temporary file
// beside it, then a rename), so a failed write never loses the old file.
bool WriteCfgFile(const char* file_name, const CfgFile& document);
// The text WriteCfgFile writes.
std::string FormatCfg(const CfgFile& document);

// A read position in bytes, for the token readers.
struct CfgStream {
  const uint8_t* data;
  size_t size;
  size_t position = 0;
};

std::string ReadToken(CfgStream& in, char delimiter, int32_t& lines);
std::string GetToken(const char* text, char delimiter, size_t& position);
std::string GetBlock(const char* text, size_t& position);
bool FindInStream(CfgStream& in, const char* text, int32_t& lines);
bool FindInString(const char* buffer, const char* text, size_t& position);
