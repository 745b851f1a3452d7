// The template list's reader of a widget file's description block on any
// bytes: it may find no block, never crash; what it lists has a block and a
// title, and its values are trimmed single lines.
#include "core/TemplateLibrary.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_description: %s\n", what);
        std::abort();
    }
}

bool OneTrimmedLine(const QString& value) {
    return !value.contains(u'\n') && value == value.trimmed();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the file is read: the bytes, decoded line by line by the reader.
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const TemplateDescription block = ParseTemplateDescription(content);

    const bool listed = IsValidTemplate(block, QStringLiteral("PageletServer.FennicButton"));
    Check(!listed || (block.found && !block.title.isEmpty()), "listed without a block or a title");
    Check(IsValidTemplate(block, block.progId) == (block.found && !block.title.isEmpty()),
          "not listed for its own server");
    Check(block.found || (block.title.isEmpty() && block.description.isEmpty() && block.progId.isEmpty()),
          "values without a block");
    Check(OneTrimmedLine(block.title) && OneTrimmedLine(block.description) && OneTrimmedLine(block.progId),
          "a value is not a trimmed single line");
    return 0;
}
