// What --check reports for a portable copy, an installed one with the user's
// own files, and a copy that lost its language file.
#include "InstallCheck.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

namespace lanyx {
namespace {

using test::TempDir;
using test::writeBytes;

std::string lineStarting(const InstallReport& r, const std::string& label) {
    for (const auto& line : r.lines)
        if (line.rfind(label, 0) == 0) return line;
    return "(no " + label + " line)";
}

TEST(InstallCheck, InstalledCopyWithUserFiles) {
    TempDir program, data;
    std::filesystem::copy_file(test::shippedLangFile(), program / "Lang.con");
    writeBytes(program / "Chime.wav", "RIFF");
    writeBytes(program / "Ding.wav", "RIFF");
    writeBytes(program / "notes.txt", "x");
    writeBytes(data.path() / "chime.WAV", "RIFF");  // the user's own copy of a shipped sound
    writeBytes(data.path() / "User.ini", "");
    const auto paths = ResolvePaths(std::nullopt, program.path(), false, data.path());

    const auto r = CheckInstall(paths, true);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(lineStarting(r, "Language file:"), "Language file: " + (program / "Lang.con").string() +
                                                     " (128 texts in English, Fran\xC3\xA7"
                                                     "ais, Deutsch, Espa\xC3\xB1oles)");
    EXPECT_EQ(lineStarting(r, "Sounds:"), "Sounds: chime.WAV, Ding.wav");
    EXPECT_EQ(lineStarting(r, "Settings:"), "Settings: " + (data.path() / "User.ini").string());
    EXPECT_EQ(lineStarting(r, "Data folder:"), "Data folder: " + data.path().string());
}

TEST(InstallCheck, MissingOrBrokenLanguageFileAndNoDataFolderYet) {
    TempDir program, home;
    const auto data = home / "Lanyx";
    const auto missing = CheckInstall(ResolvePaths(std::nullopt, program.path(), false, data), false);
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(lineStarting(missing, "Language file:"),
              "Language file: " + (program / "Lang.con").string() + " (missing)");
    EXPECT_EQ(lineStarting(missing, "Data folder:"), "Data folder: " + data.string() + " (made at the first start)");
    EXPECT_EQ(lineStarting(missing, "Sounds:"), "Sounds: none (the beep only)");

    writeBytes(program / "Lang.con", std::string("\"Code\"\r\n", 8));
    const auto broken = CheckInstall(ResolvePaths(std::nullopt, program.path(), true, data), true);
    EXPECT_FALSE(broken.ok);
    EXPECT_NE(lineStarting(broken, "Language file:").find("(cannot be used: "), std::string::npos);
}

}  // namespace
}  // namespace lanyx
