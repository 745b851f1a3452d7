#pragma once
// What `lanyx --check` prints: where this copy looks for its files and
// whether it finds them, for the user who wonders why a language file or a
// sound is not picked up, and for checking an installed package.
#include "Paths.h"

#include <string>
#include <vector>

namespace lanyx {

struct InstallReport {
    bool ok = false;                 // the language file can be used
    std::vector<std::string> lines;  // "Label: value", in the order shown
};

// Reads the language file (it is not kept) and lists the sounds of the data
// and program folders, the data folder's names first.
InstallReport CheckInstall(const LanyxPaths& paths, bool dataDirWritable);

std::string FormatReport(const InstallReport& report);

}  // namespace lanyx
