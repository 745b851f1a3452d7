// Prints how long Block takes on N selected names in the main window (and
// the second press, which unblocks them), with the list shown.
#include "TestSupport.h"
#include "frmMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int users = argc > 1 ? std::atoi(argv[1]) : 20000;
    lanyx::test::MemorySegment seg;
    lanyx::test::Peer ann(seg, "ann");
    ann.joinAs("ann");
    lanyx::ui::frmMain main(ann.node);
    main.resize(400, 600);
    main.show();
    for (int i = 0; i < users; ++i) seg.post("user" + std::to_string(i) + "|C/0");
    seg.deliverAll();
    QCoreApplication::processEvents();
    main.lvUsers()->selectAll();
    QCoreApplication::processEvents();
    for (const char* what : {"block", "unblock"}) {
        QElapsedTimer t;
        t.start();
        main.BlockSelected();
        QCoreApplication::processEvents();
        std::printf("%s on %d selected names: %lld ms (blocked list now %zu)\n", what, users,
                    static_cast<long long>(t.elapsed()), ann.node.users().blocked().size());
    }
    return 0;
}
