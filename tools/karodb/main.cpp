// karodb: builds Karo's database "Karo.cc" from the installed data sources and prints a summary
// of its counts; ends with status 1, writing nothing, when a count is below its floor.
#include "tools/karodb/karo_db.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: karodb --out Karo.cc --unihan FILE [--unihan FILE] --explanations DIR --idioms FILE\n"
               "              --modern FILE --frequencies FILE --notes FILE\n"
               "       karodb --fixture --out Karo.cc --notes FILE   (the handful of rows the tests use)\n");
  return 2;
}

// A failed build leaves no half-written database behind.
int Failed(const std::filesystem::path& out, const std::exception& e) {
  std::error_code ec;
  std::filesystem::remove(out, ec);
  std::fprintf(stderr, "karodb: %s\n", e.what());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  TKaroDbSources sources;
  std::filesystem::path out;
  bool fixture = false;
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--fixture") {
      fixture = true;
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (opt == "--out") out = value;
    else if (opt == "--unihan") sources.Unihan.emplace_back(value);
    else if (opt == "--explanations") sources.Explanations = value;
    else if (opt == "--idioms") sources.IdiomScript = value;
    else if (opt == "--modern") sources.ModernWords = value;
    else if (opt == "--frequencies") sources.CharFrequencies = value;
    else if (opt == "--notes") sources.SampleNotes = value;
    else return Usage();
  }
  if (fixture) {
    if (out.empty() || sources.SampleNotes.empty()) return Usage();
    try {
      WriteKaroDb(FixtureKaroData(sources.SampleNotes), out);
      WriteKaroSecurity(out, out.parent_path() / "Secured.mdw");
    } catch (const std::exception& e) {
      return Failed(out, e);
    }
    return 0;
  }
  if (out.empty() || sources.Unihan.empty() || sources.Explanations.empty() || sources.IdiomScript.empty() ||
      sources.ModernWords.empty() || sources.CharFrequencies.empty() || sources.SampleNotes.empty())
    return Usage();

  const auto start = std::chrono::steady_clock::now();
  try {
    const TKaroData data = LoadKaroData(sources);
    std::printf("%s", FormatSummary(data.Counts).c_str());
    const auto failed = CheckFloors(data.Counts, FullDatabaseFloors());
    if (!failed.empty()) {
      std::filesystem::remove(out);
      for (const std::string& f : failed) std::fprintf(stderr, "karodb: %s\n", f.c_str());
      std::fprintf(stderr, "karodb: %s not written\n", out.string().c_str());
      return 1;
    }
    WriteKaroDb(data, out);
    const auto workgroup = out.parent_path() / "Secured.mdw";
    WriteKaroSecurity(out, workgroup);
    std::printf("database password and %s: written\n", workgroup.filename().string().c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("wrote %s in %.1f s\n", out.string().c_str(), seconds);
  } catch (const std::exception& e) {
    return Failed(out, e);
  }
  return 0;
}
