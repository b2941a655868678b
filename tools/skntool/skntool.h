// The skntool command: builds skin files from an INI text and BMP images, lists and extracts
// their entries, and packs and unpacks raw compressed images.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs one command (args without the program name); returns the exit code: 0 done, 1 failed,
// 2 wrong usage. Messages go to err, listings to out.
int SkntoolRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
