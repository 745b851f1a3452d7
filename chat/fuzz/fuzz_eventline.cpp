// lanyx-cli's event lines on any sender and text: one line of exactly three
// tab-separated fields, with no control character for the terminal.
#include "CliPeer.h"
#include "Cp1252.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace lanyx;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As received: Windows-1252 bytes, the sender before the first "|".
    const auto text = cp1252::toUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto bar = text.find('|');
    const std::string sender = text.substr(0, bar);
    const std::string body = bar == std::string::npos ? std::string() : text.substr(bar + 1);
    const auto line = cli::EventLine("chat", sender, body);
    std::size_t tabs = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c == '\t') {
            ++tabs;
            continue;
        }
        if (c < 0x20 || c == 0x7F) std::abort();
        if (c == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) < 0xA0) std::abort();
    }
    if (tabs != 2) std::abort();
    return 0;
}
