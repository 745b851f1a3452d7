// The User.ini reader on any text: it may refuse (LanyxError), never crash;
// what it reads, once saved, reads back as the same file.
#include "Cp1252.h"
#include "Error.h"
#include "Settings.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the file is read: Windows-1252 bytes to text.
    const auto text = cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    SettingsData d;
    try {
        d = ReadSettingsText(text);
    } catch (const LanyxError&) {
        return 0;  // start-up keeps the file and writes the defaults
    }
    // Save -> read: the text written must read back to the same text.
    const auto saved = cp1252::toUtf8(cp1252::fromUtf8(SettingsText(d, d.user.UserName)));
    SettingsData back;
    try {
        back = ReadSettingsText(saved);
    } catch (const LanyxError&) {
        std::abort();
    }
    if (SettingsText(back, back.user.UserName) != saved) std::abort();
    return 0;
}
