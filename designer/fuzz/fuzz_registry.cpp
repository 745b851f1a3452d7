// The class registry's reader on any text, then the look-ups the shell makes
// to bind a widget server: reading skips what it cannot use, never crashes,
// and every key it reads can be found again.
#include "server/ClassRegistry.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void Check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_registry: %s\n", what);
        std::abort();
    }
}

// The binding: ProgID to CLSID, back to the ProgID and to the server file.
void Bind(const CClassRegistry& registry, const QString& progId) {
    const QString clsid = registry.CLSIDFromProgID(progId);
    Check(clsid == clsid.trimmed(), "an untrimmed CLSID");
    const QString mapped = registry.ProgIDFromCLSID(clsid);
    const auto server = registry.InprocServer(clsid);
    Check(!clsid.isEmpty() || (mapped.isEmpty() && !server), "a server for no CLSID");
    if (!mapped.isEmpty()) registry.CLSIDFromProgID(mapped);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // As the file is read: UTF-8 bytes to text, relative server files taken
    // from the registry file's folder.
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CClassRegistry registry;
    registry.LoadText(text, QStringLiteral("/opt/tavishfennic"));

    Bind(registry, QStringLiteral("PageletServer.FennicButton"));
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.size() < 2 || !line.startsWith(u'[') || !line.endsWith(u']')) continue;
        const QString key = line.mid(1, line.size() - 2);
        const QString plain = key.trimmed();
        bool named = false;
        for (const QChar c : plain) named = named || c != u'\\';
        Check(registry.KeyExists(key) == named, "a key read is not found again");
        // A ProgID's CLSID key names the ProgID to bind.
        const qsizetype cut = key.indexOf(u'\\');
        if (cut > 0) Bind(registry, key.left(cut));
    }
    return 0;
}
