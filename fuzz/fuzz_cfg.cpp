// Parses the bytes as a definition file, looks values up, changes one and formats
// the document again.
#include <cstddef>
#include <cstdint>

#include "text/cfg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CfgFile doc;
  if (!ParseCfg(data, size, doc)) return 0;
  for (size_t s = 0; s < doc.sections.size(); ++s)
    for (const std::string& key : doc.sections[s].keys) {
      GetCfgValue(doc, doc.names[s].c_str(), key.c_str());
      SetCfgValue(doc, doc.names[s].c_str(), key.c_str(), "changed value");
    }
  FormatCfg(doc);
  return 0;
}
