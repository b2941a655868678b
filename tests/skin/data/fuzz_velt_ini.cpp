// INI text as a skin file brings it: loading and every reader must cope with anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "skin/data/velt_ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream m;
  m.Assign(std::string(reinterpret_cast<const char*>(data), size));
  TQuickIni ini;
  ini.LoadFromStream(&m);
  TStringList sections, names;
  ini.ReadSections(sections);
  for (int i = 0; i < sections.Count() && i < 64; ++i) {
    const std::string s = sections.Strings(i);
    ini.ReadSection(s, names);
    for (int k = 0; k < names.Count() && k < 64; ++k) {
      ini.ReadInteger(s, names.Strings(k), 0);
      ini.ReadString(s, names.Strings(k), "");
    }
    ini.WriteString(s, "fuzz", "1");
    ini.DeleteKey(s, "fuzz");
  }
  if (sections.Count() > 0) ini.EraseSection(sections.Strings(0));
  TMemoryStream out;
  ini.SaveToStream(&out);
  return 0;
}
