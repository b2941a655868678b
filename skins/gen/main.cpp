// skingen: draws Karo's four skins. From the INI template it writes, for each skin, the filled INI
// text and every picture that text names, as 24-bit BMP files, plus contact sheets to look at.
//   skingen <template> <output folder>
// Output: <folder>/<Skin>/skin.ini and its pictures, <folder>/contact_<skin>.bmp, <folder>/contact.bmp.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>

#include "skins/gen/bmp_file.h"
#include "skins/gen/contact_sheet.h"
#include "skins/gen/skin_art.h"

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) throw std::runtime_error("cannot read " + path);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// Lines that begin with two semicolons are notes on the template itself.
std::string DropTemplateNotes(const std::string& text) {
  std::istringstream in(text);
  std::string line, out;
  while (std::getline(in, line)) {
    if (line.rfind(";;", 0) == 0) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out += line + "\r\n";
  }
  return out;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: skingen <template> <output folder>\n";
    return 2;
  }
  try {
    const std::string tmpl = DropTemplateNotes(ReadText(argv[1]));
    const std::filesystem::path out = argv[2];
    std::vector<Bitmap> sheets;
    for (const Palette& p : SkinPalettes()) {
      SkinArt art = DrawSkin(p);
      std::string ini = FillTemplate(tmpl, art.values);
      // The INI and the pictures must name the same set, or the archive would miss one.
      std::vector<std::string> named = NamedImages(ini);
      std::set<std::string> want(named.begin(), named.end()), have;
      for (auto& [name, bmp] : art.images) have.insert(name);
      for (const std::string& n : want)
        if (!have.count(n)) throw std::runtime_error(p.name + ": the INI names " + n + ", which is not drawn");
      for (const std::string& n : have)
        if (!want.count(n)) throw std::runtime_error(p.name + ": " + n + " is drawn but the INI does not name it");
      std::filesystem::path dir = out / p.name;
      std::filesystem::create_directories(dir);
      WriteFile((dir / "skin.ini").string(), ini);
      for (const std::string& n : named) WriteFile((dir / n).string(), EncodeBmp(art.images.at(n)));
      sheets.push_back(ContactSheet(p, art));
      WriteFile((out / ("contact_" + Lower(p.name) + ".bmp")).string(), EncodeBmp(sheets.back()));
    }
    WriteFile((out / "contact.bmp").string(), EncodeBmp(CombinedSheet(sheets)));
  } catch (const std::exception& e) {
    std::cerr << "skingen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
