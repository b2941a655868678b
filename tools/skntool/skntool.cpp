#include "tools/skntool/skntool.h"

#include <iomanip>
#include <set>

#include "classlib/core/streams.h"
#include "classlib/core/sysutils.h"
#include "skin/data/lzh_coder.h"
#include "skin/data/skin_reader.h"
#include "tools/skntool/skin_archive.h"

namespace {

const char kUsage[] =
    "usage: skntool <command> [arguments]\n"
    "\n"
    "  build <out.skn> <skin.ini> [image.bmp ...]\n"
    "      Builds a skin file (archive version 20000) from an INI text and the BMP images it\n"
    "      names. Entries are named by the files' names without their folders.\n"
    "  list <file.skn>\n"
    "      Lists the entries of a skin file with their sizes in bytes.\n"
    "  extract <file.skn> <name> <out>\n"
    "      Writes the entry called <name> (any letter case) to the file <out>.\n"
    "  pack <in> <out>\n"
    "      Compresses a file into a raw image: 4-byte size, then the LZHUF stream.\n"
    "  unpack <in> <out>\n"
    "      Decompresses a raw image.\n"
    "  help\n"
    "      Shows this text.\n";

// A failure the user can act on; its message is printed as it stands.
struct ToolError {
  std::string message;
};

std::string ReadFile(const std::string& name) {
  TMemoryStream s;
  try {
    s.LoadFromFile(name);
  } catch (const EFOpenError&) {
    throw ToolError{"cannot open \"" + name + "\""};
  }
  return s.AsString();
}

void WriteFile(const std::string& name, const std::string& bytes) {
  TMemoryStream s;
  s.Assign(bytes);
  try {
    s.SaveToFile(name);
  } catch (const EStreamError&) {
    throw ToolError{"cannot write \"" + name + "\""};
  }
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Loads a skin file into the reader; an archive the reader refuses is an error here, reported
// in words rather than in a message box.
void LoadSkin(const std::string& file, TSkinReader& reader) {
  TMemoryStream image;
  image.Assign(ReadFile(file));
  struct Quiet {
    TSkinMessageProc saved = SkinReadShowMessage;
    Quiet() { SkinReadShowMessage = nullptr; }
    ~Quiet() { SkinReadShowMessage = saved; }
  } quiet;
  if (!reader.Loadfromstream(image)) throw ToolError{"\"" + file + "\" is not a skin archive of a known version"};
}

int Build(const std::vector<std::string>& a, std::ostream& out) {
  const std::string& target = a[1];
  std::vector<TSkinArchiveEntry> entries;
  std::set<std::string> seen;
  for (size_t i = 2; i < a.size(); i++) {
    TSkinArchiveEntry e{BaseName(a[i]), ReadFile(a[i])};
    const std::string lower = Lower(e.Name);
    if (i == 2) {
      if (lower.find(".ini") == std::string::npos)
        throw ToolError{"the INI text's file name must contain \".ini\": \"" + e.Name + "\""};
    } else {
      if (!EndsWith(lower, ".bmp")) throw ToolError{"an image's file name must end in \".bmp\": \"" + e.Name + "\""};
      if (e.Data.compare(0, 2, "BM") != 0) throw ToolError{"\"" + a[i] + "\" is not a BMP file"};
      // The reader finds the INI as the first entry whose name contains ".ini".
      if (lower.find(".ini") != std::string::npos)
        throw ToolError{"an image's name may not contain \".ini\": \"" + e.Name + "\""};
    }
    if (!seen.insert(lower).second)
      throw ToolError{"two entries would be called \"" + lower + "\"; only the first could be read"};
    entries.push_back(std::move(e));
  }
  if (entries.size() > size_t(SkinMaxEntries))
    throw ToolError{"a skin holds at most " + std::to_string(SkinMaxEntries) + " entries"};
  const std::string image = CompressImage(BuildSkinArchive(entries));
  WriteFile(target, image);
  out << target << ": " << entries.size() << " entries, " << image.size() << " bytes\n";
  return 0;
}

int List(const std::vector<std::string>& a, std::ostream& out) {
  TSkinReader reader;
  LoadSkin(a[1], reader);
  out << "version " << reader.Version() << ", " << reader.Count() << " entries, " << reader.EntryData().Size()
      << " bytes of entry data\n";
  int64_t sum = 0;
  for (int i = 0; i < reader.Count(); i++) {
    out << std::setw(10) << reader.Sizes(i) << "  " << reader.Names(i) << "\n";
    sum += reader.Sizes(i) > 0 ? reader.Sizes(i) : 0;
  }
  if (sum != reader.EntryData().Size())
    out << "warning: the sizes add up to " << sum << " bytes, the entry data holds " << reader.EntryData().Size()
        << "\n";
  return 0;
}

int Extract(const std::vector<std::string>& a, std::ostream& out) {
  TSkinReader reader;
  LoadSkin(a[1], reader);
  const std::string wanted = Lower(a[2]);
  bool found = false;
  for (int i = 0; i < reader.Count() && !found; i++) found = reader.Names(i) == wanted;
  if (!found) throw ToolError{"\"" + a[1] + "\" has no entry called \"" + a[2] + "\""};
  TMemoryStream entry;
  reader.readfile(wanted, entry);
  WriteFile(a[3], entry.AsString());
  out << a[3] << ": " << entry.Size() << " bytes\n";
  return 0;
}

int Pack(const std::vector<std::string>& a, std::ostream& out) {
  const std::string image = CompressImage(ReadFile(a[1]));
  WriteFile(a[2], image);
  out << a[2] << ": " << image.size() << " bytes\n";
  return 0;
}

int Unpack(const std::vector<std::string>& a, std::ostream& out) {
  // Decoded once into one buffer and written from there: images can be large.
  TMemoryStream image, bytes;
  try {
    image.LoadFromFile(a[1]);
  } catch (const EFOpenError&) {
    throw ToolError{"cannot open \"" + a[1] + "\""};
  }
  LZHDecompressImage(image, bytes);
  try {
    bytes.SaveToFile(a[2]);
  } catch (const EStreamError&) {
    throw ToolError{"cannot write \"" + a[2] + "\""};
  }
  out << a[2] << ": " << bytes.Size() << " bytes\n";
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs, maxArgs;  // counting the command itself
  int (*run)(const std::vector<std::string>&, std::ostream&);
};

const Command kCommands[] = {
    {"build", 3, size_t(-1), Build}, {"list", 2, 2, List},     {"extract", 4, 4, Extract},
    {"pack", 3, 3, Pack},            {"unpack", 3, 3, Unpack},
};

}  // namespace

int SkntoolRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    err << kUsage;
    return 2;
  }
  if (args[0] == "help" || args[0] == "-h" || args[0] == "--help") {
    out << kUsage;
    return 0;
  }
  for (const Command& c : kCommands) {
    if (args[0] != c.name) continue;
    if (args.size() < c.minArgs || args.size() > c.maxArgs) {
      err << "skntool " << c.name << ": wrong number of arguments\n\n" << kUsage;
      return 2;
    }
    try {
      return c.run(args, out);
    } catch (const ToolError& e) {
      err << "skntool " << c.name << ": " << e.message << "\n";
    } catch (const Exception& e) {
      err << "skntool " << c.name << ": " << e.Message() << "\n";
    } catch (const std::bad_alloc&) {
      err << "skntool " << c.name << ": out of memory\n";
    }
    return 1;
  }
  err << "skntool: unknown command \"" << args[0] << "\"\n\n" << kUsage;
  return 2;
}
