// The User.ini reader on any text: it may refuse (LanyxError), never crash.
#include "Cp1252.h"
#include "RecordFile.h"
#include "Settings.h"

#include <cstdint>
#include <string>

using namespace lanyx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the file is read: Windows-1252 bytes to text.
    const auto text = cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    SettingsData d;
    try {
        ReadSettingsText(text, d, [](std::string& language) {
            if (language != "English" && language != "Deutsch") language = "English";
        });
    } catch (const LanyxError&) {
        // Start-up recovers from these by writing the default file.
    }
    return 0;
}
