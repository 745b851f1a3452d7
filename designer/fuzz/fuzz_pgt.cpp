// The button server's .pgt reader on any bytes, and the writers on whatever it
// reads: reading may refuse, never crash; a written .pgt reads back as the
// same file, and the SVG pictures and the embedding code are well-formed XML.
// No GUI application: the button is sized by an average glyph rather than by
// font metrics, which keeps the font machinery (and its caches) out of the run.
#include "button/model/ButtonStyle.h"

#include <QXmlStreamReader>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_pgt: %s\n", what);
        std::abort();
    }
}

bool WellFormed(const QString& xml) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) reader.readNext();
    if (reader.hasError()) std::fprintf(stderr, "fuzz_pgt: %s\n", qPrintable(reader.errorString()));
    return !reader.hasError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the file is read: UTF-8 bytes to text.
    const auto style = Pgt::Read(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!style) return 0;

    const QString written = Pgt::Write(*style);
    const auto again = Pgt::Read(written);
    Check(again.has_value(), "a written .pgt has no description block");
    Check(Pgt::Write(*again) == written, "a written .pgt does not read back the same");

    Check(WellFormed(ButtonOutput::InteractiveSvg(*style)), "the interactive SVG is not well-formed");
    for (const ButtonState state : {ButtonState::Normal, ButtonState::Hover, ButtonState::Pressed})
        Check(WellFormed(ButtonOutput::StaticSvg(*style, state)), "a state's SVG is not well-formed");
    const QString code = ButtonOutput::StyleCode(*style) +
                         ButtonOutput::CursorCode(*style, QStringLiteral("My Button.svg"));
    Check(WellFormed(QStringLiteral("<div>") + code + QStringLiteral("</div>")),
          "the embedding code is not well-formed");
    return 0;
}
