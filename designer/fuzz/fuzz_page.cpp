// An author's page on any bytes, as publishing reads it: the encoding, the
// <base href>, whether it is a page or a partial, and the button put in at
// any caret. Nothing may crash; a page written back unedited keeps every
// byte, and the button lands whole, once.
#include "core/CommandLinePublish.h"
#include "core/PageText.h"
#include "core/Publishing.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_page: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the caret; the rest is the page.
    const qsizetype pick = data[0] | (data[1] << 8);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(size - 2));
    const CPageText page = CPageText::FromBytes(bytes);
    Check(page.Bytes(page.Text()) == bytes, "an unedited page does not keep its bytes");

    const QString base = BaseHref(page.Text());
    const QString ref = ReferenceBeside(QStringLiteral("/site/blog"), base, QStringLiteral("pic.svg"));
    Check(base.isEmpty() ? ref == QLatin1String("pic.svg") : true, "a page without a base moves the picture");
    (void)IsPageFragment(page.Text());
    (void)OwnerMarkIn(bytes);

    const PageCode code{QStringLiteral("<style>\n.fz{}\n</style>\n"),
                        QStringLiteral("<object data=\"pic.svg\">FZ-ELEMENT</object>\n")};
    qsizetype caret = page.Text().isEmpty() ? 0 : pick % (page.Text().size() + 1);
    const QString edited = InsertIntoPage(page.Text(), &caret, code);
    Check(edited.count(QStringLiteral("FZ-ELEMENT")) == page.Text().count(QStringLiteral("FZ-ELEMENT")) + 1,
          "the element is not put in once");
    Check(caret >= 0 && caret <= edited.size(), "the caret is outside the page");
    (void)page.Bytes(edited);
    (void)NameInCode(edited, QStringLiteral("pic.svg"), ref);
    return 0;
}
