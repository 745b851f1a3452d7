// Two walks over every window and menu of the desktop program, as a user
// with a few peers, a chat, alerts and transfers meets them:
//  - in English, German, French and Spanish, no visible text may stay in
//    English where the language has a text of its own (names and numbers
//    aside);
//  - in the accessibility tree, every element a user can act on must have
//    a name, and every window must fit the screen.
#include "BoxMessage.h"
#include "ChatWindows.h"
#include "FilePeers.h"
#include "FileSending.h"
#include "PopupSummary.h"
#include "TestSupport.h"
#include "TransferUi.h"
#include "TrayIcon.h"
#include "UdpTransport.h"
#include "UiLanguage.h"
#include "UiTestApp.h"
#include "frmAbout.h"
#include "frmChat.h"
#include "frmCom.h"
#include "frmMain.h"
#include "frmOffer.h"
#include "frmOpt.h"
#include "frmPop.h"
#include "frmSave.h"
#include "frmSplash.h"
#include "frmTransfers.h"
#include "frmUserInfo.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTreeWidget>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace fs = std::filesystem;
using namespace lanyx;
using namespace lanyx::ui;

namespace {

using lanyx::test::app;

// ---- what a user sees -------------------------------------------------------------

struct Seen {
    QString where;
    QString text;
};

QString plain(const QString& t) {
    QString s = Qt::mightBeRichText(t) ? QTextDocumentFragment::fromHtml(t).toPlainText() : t;
    return s.remove(QLatin1Char('&'));
}

class Collector {
public:
    std::vector<Seen> seen;

    void add(const QString& where, const QString& text) {
        const QString t = plain(text).trimmed();
        if (!t.isEmpty()) seen.push_back({where, t});
    }

    void menu(QMenu* m, const QString& where, int depth = 0) {
        if (!m || depth > 4) return;
        Q_EMIT m->aboutToShow();  // menus built when they open
        add(where, m->title());
        for (QAction* a : m->actions()) {
            if (!a->isVisible()) continue;
            const QString at = where + "/" + (a->objectName().isEmpty() ? a->text() : a->objectName());
            add(at, a->text());
            if (a->toolTip() != plain(a->text())) add(at + "#tip", a->toolTip());
            add(at + "#status", a->statusTip());
            if (a->menu()) menu(a->menu(), at, depth + 1);
        }
    }

    void window(QWidget* w) {
        const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                       : w->objectName();
        add(name + "#title", w->windowTitle());
        widget(w, name);
        for (QWidget* child : w->findChildren<QWidget*>()) {
            // Windows of its own (dialogs owned by this one) are walked by themselves.
            if (child->window() != w || !child->isVisibleTo(w) || qobject_cast<QMenu*>(child)) continue;
            widget(child, name + "/" +
                              (child->objectName().isEmpty() ? QString::fromLatin1(child->metaObject()->className())
                                                             : child->objectName()));
        }
        if (auto* main = qobject_cast<QMainWindow*>(w))
            for (QAction* a : main->menuBar()->actions()) menu(a->menu(), name + "/menu");
        for (QMenuBar* bar : w->findChildren<QMenuBar*>())
            for (QAction* a : bar->actions()) menu(a->menu(), name + "/menu");
    }

private:
    void widget(QWidget* w, const QString& at) {
        add(at + "#tip", w->toolTip());
        add(at + "#name", w->accessibleName());
        add(at + "#description", w->accessibleDescription());
        if (auto* l = qobject_cast<QLabel*>(w)) add(at, l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) add(at, b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) add(at, g->title());
        if (auto* e = qobject_cast<QLineEdit*>(w)) add(at + "#placeholder", e->placeholderText());
        if (auto* c = qobject_cast<QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) add(at + "#item", c->itemText(i));
        if (auto* p = qobject_cast<QProgressBar*>(w)) add(at, p->text());
        if (auto* t = qobject_cast<QTabBar*>(w))
            for (int i = 0; i < t->count(); ++i) add(at + "#tab", t->tabText(i));
        if (auto* e = qobject_cast<QTextEdit*>(w); e && e->isReadOnly()) add(at, e->toPlainText());
        if (auto* e = qobject_cast<QPlainTextEdit*>(w); e && e->isReadOnly()) add(at, e->toPlainText());
        if (auto* v = qobject_cast<QAbstractItemView*>(w)) view(v, at);
    }
    void view(QAbstractItemView* v, const QString& at) {
        QAbstractItemModel* m = v->model();
        if (!m) return;
        if (auto* h = v->findChild<QHeaderView*>(); h && h->isVisible())
            for (int c = 0; c < m->columnCount(); ++c)
                add(at + "#header", m->headerData(c, h->orientation()).toString());
        std::function<void(const QModelIndex&, int)> rows = [&](const QModelIndex& parent, int depth) {
            for (int r = 0; r < std::min(m->rowCount(parent), 60); ++r)
                for (int c = 0; c < m->columnCount(parent); ++c) {
                    const QModelIndex i = m->index(r, c, parent);
                    add(at + "#item", i.data(Qt::DisplayRole).toString());
                    add(at + "#item-tip", i.data(Qt::ToolTipRole).toString());
                    add(at + "#item-name", i.data(Qt::AccessibleTextRole).toString());
                    if (c == 0 && depth < 3) rows(i, depth + 1);
                }
        };
        rows(QModelIndex(), 0);
    }
};

// ---- the words of each language ---------------------------------------------------------

QSet<QString> wordsOf(QString text) {
    QSet<QString> words;
    // Addresses and the everybody row are names, whatever the language.
    static const QRegularExpression address(QStringLiteral("\\b(?:https?://|mailto:)\\S+"));
    text.remove(address).remove(QStringLiteral("(All)"));
    // Runs of letters and digits; a run with a digit is a number, a
    // fingerprint or a file name, not a word.
    static const QRegularExpression run(QStringLiteral("[\\p{L}\\p{N}_'\\x{2019}]+"));
    for (auto it = run.globalMatch(text); it.hasNext();) {
        QString w = it.next().captured(0);
        if (w.contains(QRegularExpression(QStringLiteral("[\\p{N}_]")))) continue;
        // A group of a fingerprint in capitals (A97E 4ABF ... AFFC) may have no digit.
        static const QRegularExpression hexGroup(QStringLiteral("^[A-F]{2,4}$"));
        if (hexGroup.match(w).hasMatch()) continue;
        w.remove(QLatin1Char('\'')).remove(QChar(0x2019));
        if (w.size() >= 2) words.insert(w.toLower());
    }
    return words;
}

// Sources and translations of a Qt Linguist file.
struct Catalogue {
    QSet<QString> sourceWords, translationWords;
    int messages = 0;
};

Catalogue readTs(const QString& path) {
    Catalogue c;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return c;
    QXmlStreamReader xml(&f);
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) continue;
        if (xml.name() == QLatin1String("source")) {
            c.sourceWords.unite(wordsOf(xml.readElementText()));
            ++c.messages;
        } else if (xml.name() == QLatin1String("translation") || xml.name() == QLatin1String("numerusform")) {
            if (xml.name() == QLatin1String("translation") &&
                xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished"))
                continue;
            c.translationWords.unite(wordsOf(xml.readElementText(QXmlStreamReader::IncludeChildElements)));
        }
    }
    return c;
}

// One column of the language file, by its header name.
QSet<QString> langConWords(const QString& language) {
    QSet<QString> words;
    const std::string bytes = test::readBytes(test::shippedLangFile());
    const QStringList lines = QString::fromStdString(cp1252::toUtf8(bytes)).split(QStringLiteral("\r\n"));
    if (lines.isEmpty()) return words;
    const int column = lines.front().split(QLatin1Char(',')).indexOf(language);
    for (const QString& line : lines.mid(1)) {
        const QStringList fields = line.split(QLatin1Char(','));
        if (column < 0 || column >= fields.size()) continue;
        // The last column takes the rest of the line.
        words.unite(wordsOf(column == fields.size() - 1 ? fields.mid(column).join(QLatin1Char(',')) : fields[column]));
    }
    return words;
}

struct LanguageCase {
    const char* name;  // as the settings and the language file name it
    const char* code;
};
constexpr LanguageCase kLanguages[] = {{"Deutsch", "de"}, {"Français", "fr"}, {"Españoles", "es"}};

// ---- a program with everything open ----------------------------------------------------------

class Scene {
public:
    Scene() : ann(seg, "ann"), bob(seg, "bob") {
        app();
        // The main window comes first, as at start-up: it empties the list when it loads.
        ann.node.readSettings();
        ann.node.state().MyName = "ann";
        main = new frmMain(ann.node);
        test::joinWithFiles(seg, ann, bob, annFiles, bobFiles);
        // eve, whose key then changes: a copy with a data folder of its own
        // under the same name.
        eveBefore = std::make_unique<test::Peer>(seg, "eve");
        eveBefore->joinAs("eve");
        seg.runFor(1000);
        eveBefore->node.CloseNetwork();
        seg.runFor(100);
        seg.detach(&eveBefore->transport);
        eve = std::make_unique<test::Peer>(seg, "eve");
        eve->joinAs("eve");
        hear("carl|C/255");
        hear("dora|C/0");
        hear("dora|S/2");
        hear("zed|C/0");
        hear("zed|S/1");
        seg.runFor(2000);
        ann.node.users().setGroups({"team|bob|carl|"});
        ann.node.users().AddBlocked("mallory");
        ann.node.state().VersionText = "2.1.43";
        mainGeometry = ann.node.mainGeometry();

        windows = std::make_unique<ChatWindows>(ann.node, nullptr, nullptr);
        windows->setFileTransfers(annFiles.get());
        transfers = std::make_unique<TransferUi>(*annFiles);
        transfers->chatNote = [this](const QString& peer, TransferUi::NoteFn note) {
            windows->NoteToChatsWith(peer, std::move(note));
        };

        main->setFiles(annFiles.get());
        // As on a first start: with the welcome.
        main->ShowWelcome();

        // A chat with a keyed and a plain member, lines both ways, a note.
        chat = windows->OpenChatWindow("bob|carl|zed|");
        chat->txtSnd()->setText("4711");
        chat->Send();
        seg.runFor(200);
        route();
        windows->RouteChatLine("0815", "carl", 255);

        // A compose window before sending (a recipient on Do Not Disturb) and one after.
        windows->OpenComposeWindow("bob|dora|");
        frmCom* sent = windows->OpenComposeWindow("bob|carl|");
        sent->setLingerMs(600000);
        sent->txtMsg()->setPlainText("42");
        sent->Send();
        seg.runFor(200);
        route();

        // Alerts: three from bob, then more senders than places.
        windows->ShowAlert("4711", "bob", true);
        windows->ShowAlert("0815", "bob", false);
        windows->ShowAlert("42", "bob", false);
        for (int i = 0; i < ChatWindows::kMaxPopups + 1; ++i)
            windows->ShowAlert("17", "peer" + std::to_string(i), false);
        QApplication::processEvents();
        for (frmPop* p : windows->popups())
            for (int i = 0; i < 5000 && p->sliding(); ++i) p->aniTimer_Timer();

        // Files: one offer received and waiting, one received, one declined.
        fs::create_directories(src / "photos");
        test::writeBytes(src / "photos" / "img1.jpg", "1");
        test::writeBytes(src / "report.pdf", "22");
        offerToAnn({q(src / "report.pdf")});
        const QString received = offerToAnn({q(src / "photos")});
        annFiles->accept(received, q(dst.path()));
        test::runQtUntil([&] { return annFiles->item(received)->ended(); }, 20000, &seg);
        const QString declined = offerToAnn({q(src / "report.pdf")});
        annFiles->decline(declined);
        waiting = offerToAnn({q(src / "report.pdf"), q(src / "photos")});
        transfers->ShowTransfers();
        transfers->ShowOffer(waiting);

        opt = new frmOpt(ann.node, OptionsEnv{}, false);
        opt->show();
        about = new frmAbout(ann.node, main);
        about->show();
        splash = new frmSplash;
        splash->setVersion("2.1.43");
        splash->show();
        for (const char* who : {"bob", "eve", "carl"}) main->ShowUserInfo(who);
        ShowKeyWarning("eve");
        ShowListFull(true, 7, 10000);
        ShowBoxMessage("4711", "bob");
        question = new QMessageBox(QMessageBox::Question, "Lanyx", opt->LanguageQuestion(2),
                                   QMessageBox::Yes | QMessageBox::No);
        question->show();
        QApplication::processEvents();
    }
    ~Scene() {
        QList<QPointer<QWidget>> open;
        for (QWidget* w : QApplication::topLevelWidgets()) open << w;
        transfers.reset();
        for (auto& w : open) delete w.data();
        windows.reset();
    }

    // The program's language as the Options window switches it.
    void switchTo(const std::string& language) {
        ann.node.settings().Language = language;
        ann.node.ReloadLanguage();
        uiLanguage.Apply(language);
        SetLanEverywhere();
        // The file dialogs live only while the user chooses: each one opens
        // in the language of the moment.
        delete fileDialog.data();
        delete folderDialog.data();
        delete save.data();
        save = new frmSave(ann.node);
        save->setTypes(ann.node.LangText(3202));
        save->setFolder(q(src.path()));
        save->show();
        fileDialog = NewFileDialog(main, q(emptyDir.path()), false);
        fileDialog->show();
        folderDialog = NewFileDialog(main, q(emptyDir.path()), true);
        folderDialog->show();
        QApplication::processEvents();
    }
    // Names of the fixture's own (folders it made), allowed in any language.
    QStringList fixtureNames() const {
        QStringList n;
        for (const auto* d : {&src, &dst, &emptyDir})
            n << QDir::fromNativeSeparators(q(d->path())).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        n << QDir::currentPath().split(QLatin1Char('/'), Qt::SkipEmptyParts);
        return n;
    }

    // Every window the user has open, and its menus.
    Collector collect() {
        Collector c;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && !qobject_cast<QMenu*>(w)) c.window(w);
        // The Options window's pages, one after the other.
        for (int page = 0; page < opt->picOpt()->count(); ++page) {
            opt->ShowPage(page);
            c.window(opt);
        }
        opt->ShowPage(0);
        for (int r = 0; r < main->lvUsers()->model()->rowCount(); ++r) c.menu(main->UserMenu(r), "frmMain/userMenu");
        for (frmPop* p : windows->popups()) c.menu(p->mnuPop(), "frmPop/menu");
        c.menu(chat->mnuUsers(), "frmChat/usersMenu");
        c.add("tray", main->TI()->ToolTipText());
        return c;
    }

    test::MemorySegment seg;
    test::Peer ann, bob;
    std::unique_ptr<test::Peer> eveBefore, eve;
    std::unique_ptr<FileTransfers> annFiles, bobFiles;
    test::TempDir src, dst, emptyDir;
    std::unique_ptr<ChatWindows> windows;
    std::unique_ptr<TransferUi> transfers;
    UiLanguage uiLanguage;
    QPointer<frmMain> main;
    QPointer<frmChat> chat;
    QPointer<frmOpt> opt;
    QPointer<frmSave> save;
    QPointer<frmAbout> about;
    QPointer<frmSplash> splash;
    QPointer<QFileDialog> fileDialog, folderDialog;
    QPointer<QMessageBox> question;
    QString waiting;
    Geometry mainGeometry;

    static QString q(const fs::path& p) { return QString::fromStdString(p.string()); }

private:
    void hear(const std::string& text) {
        seg.post(text);
        seg.deliverAll();
    }
    void route() {
        for (; lines_ < ann.rec.items.size(); ++lines_)
            if (ann.rec.items[lines_].kind == "chat")
                windows->RouteChatLine(ann.rec.items[lines_].text, ann.rec.items[lines_].sender, 0);
        for (; reports_ < ann.rec.deliveries.size(); ++reports_) windows->PrivateDelivery(ann.rec.deliveries[reports_]);
    }
    QString offerToAnn(const QStringList& paths) {
        QString error;
        const QString id = bobFiles->send("ann", paths, &error);
        EXPECT_FALSE(id.isEmpty()) << error.toStdString();
        test::runQtUntil([&] { return annFiles->item(id) != nullptr; }, 20000, &seg);
        return id;
    }
    std::size_t lines_ = 0, reports_ = 0;
};

// Names and what the fixture typed: allowed in any language.
QSet<QString> names() {
    QSet<QString> n;
    for (const char* w : {"ann",   "bob",     "carl",     "dora",    "eve",       "zed",    "mallory", "team", "peer",
                          "lanyx", "english", "français", "deutsch", "españoles", "photos", "img",     "jpg",  "report",
                          "pdf",   "txt",     "rtf",      "wav",     "chime",     "ding",   "knock"})
        n.insert(QString::fromUtf8(w));
    for (const QString& part : QDir::homePath().split(QLatin1Char('/'), Qt::SkipEmptyParts)) n.unite(wordsOf(part));
    for (const QString& part : QDir::tempPath().split(QLatin1Char('/'), Qt::SkipEmptyParts)) n.unite(wordsOf(part));
    for (const QFileInfo& d : QDir::drives()) n.unite(wordsOf(d.absoluteFilePath()));
    // Dates the toolkit writes in the system's language (a file's time in
    // a file dialog): month and day names are part of a number there.
    for (int i = 1; i <= 12; ++i)
        for (auto f : {QLocale::ShortFormat, QLocale::LongFormat}) n.unite(wordsOf(QLocale::system().monthName(i, f)));
    for (int i = 1; i <= 7; ++i)
        for (auto f : {QLocale::ShortFormat, QLocale::LongFormat}) n.unite(wordsOf(QLocale::system().dayName(i, f)));
    // The computer's network interfaces, as the Network page lists them.
    for (const auto& i : UdpTransport::scanInterfaces()) n.unite(wordsOf(QString::fromStdString(i.name)));
    return n;
}

QString tsFile(const char* code) {
    return QStringLiteral(LANYX_TS_DIR "/lanyx_%1.ts").arg(QLatin1String(code));
}
QString qtTsFile(const char* code) {
    return QStringLiteral(LANYX_QT_TS_DIR "/qtbase_%1.ts").arg(QLatin1String(code));
}

// ---- the accessibility tree --------------------------------------------------------------

bool actsOn(QAccessible::Role role) {
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::ListItem:
    case QAccessible::TreeItem:
    case QAccessible::Cell:
    case QAccessible::PageTab:
    case QAccessible::MenuItem:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Link:
    case QAccessible::ProgressBar: return true;
    default: return false;
    }
}

bool hasLetter(const QString& s) {
    return s.contains(QRegularExpression(QStringLiteral("\\p{L}")));
}

void walkAccessible(QAccessibleInterface* iface, const QString& path, QStringList& problems, int& count,
                    int depth = 0) {
    if (!iface || !iface->isValid() || depth > 40) return;
    const QAccessible::State state = iface->state();
    if (state.invisible) return;
    const QAccessible::Role role = iface->role();
    if (role == QAccessible::ScrollBar) return;  // the toolkit's own, named by orientation
    ++count;
    QString here = path + "/" + QString::number(role, 16);
    if (QObject* o = iface->object(); o && !o->objectName().isEmpty()) here = path + "/" + o->objectName();
    bool needsName = actsOn(role) ||
                     (state.focusable && role != QAccessible::Client && role != QAccessible::Window &&
                      role != QAccessible::Dialog && role != QAccessible::Grouping && role != QAccessible::Pane);
    // A table's row is named by its first cell; the others may be empty.
    if (auto* cell = iface->tableCellInterface(); cell && cell->columnIndex() > 0) needsName = false;
    if (role == QAccessible::Cell && iface->text(QAccessible::Name).isEmpty() && iface->parent() &&
        iface->parent()->role() == QAccessible::ColumnHeader)
        needsName = false;
    QString name = iface->text(QAccessible::Name);
    // On this desktop a screen reader names some controls (a list that is
    // no editor) by the label that labels them.
    if (!hasLetter(name))
        for (const auto& [other, relation] : iface->relations(QAccessible::Label))
            if (other && hasLetter(other->text(QAccessible::Name))) name = other->text(QAccessible::Name);
    if (needsName && !hasLetter(name)) problems << here + " (role 0x" + QString::number(role, 16) + ") has no name";
    const int children = std::min(iface->childCount(), 80);
    for (int i = 0; i < children; ++i) walkAccessible(iface->child(i), here, problems, count, depth + 1);
}

void walkMenu(QMenu* menu, const QString& path, QStringList& problems, int& count, int depth = 0) {
    if (!menu || depth > 4) return;
    Q_EMIT menu->aboutToShow();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
    for (int i = 0; iface && i < iface->childCount(); ++i) {
        QAccessibleInterface* item = iface->child(i);
        if (!item || item->role() == QAccessible::Separator) continue;
        ++count;
        if (!hasLetter(item->text(QAccessible::Name)))
            problems << path + "/item " + QString::number(i) + " has no name";
    }
    for (QAction* a : menu->actions())
        if (a->menu() && a->isVisible()) walkMenu(a->menu(), path + "/" + a->text(), problems, count, depth + 1);
}

}  // namespace

// ---- the translation walk -------------------------------------------------------------------

TEST(TranslationWalk, EveryWindowAndMenuSpeaksTheChosenLanguage) {
    app();
    Scene scene;
    scene.switchTo("English");
    const Collector english = scene.collect();
    ASSERT_GT(english.seen.size(), 300u);
    QSet<QString> englishWords;
    for (const auto& s : english.seen) englishWords.unite(wordsOf(s.text));
    QSet<QString> allowed = names();
    for (const QString& part : scene.fixtureNames()) allowed.unite(wordsOf(part));

    int languagesChecked = 0;
    for (const auto& lang : kLanguages) {
        const Catalogue own = readTs(tsFile(lang.code));
        ASSERT_GT(own.messages, 0) << "no translations in " << tsFile(lang.code).toStdString();
        const Catalogue toolkit = readTs(qtTsFile(lang.code));
        ASSERT_GT(toolkit.messages, 0) << "the toolkit's translations were not found: "
                                       << qtTsFile(lang.code).toStdString();
        QSet<QString> ownWords = own.translationWords;
        ownWords.unite(toolkit.translationWords).unite(langConWords(QString::fromUtf8(lang.name)));
        englishWords.unite(own.sourceWords);

        scene.switchTo(lang.name);
        const Collector shown = scene.collect();
        std::map<QString, std::set<QString>> english_left;  // where -> words
        for (const auto& s : shown.seen)
            for (const QString& w : wordsOf(s.text))
                if (englishWords.contains(w) && !ownWords.contains(w) && !allowed.contains(w))
                    english_left[s.where].insert(w + " in \"" + s.text.left(80) + "\"");
        std::string report;
        for (const auto& [where, words] : english_left)
            for (const auto& w : words) report += where.toStdString() + ": " + w.toStdString() + "\n";
        EXPECT_TRUE(english_left.empty()) << lang.name << ": still English in " << english_left.size() << " places:\n"
                                          << report;
        ++languagesChecked;
        std::printf("[ walk     ] %s: %zu texts checked against %lld words of its own\n", lang.name, shown.seen.size(),
                    static_cast<long long>(ownWords.size()));
    }
    EXPECT_EQ(languagesChecked, 3);
    // And back: the switch goes both ways at run time.
    scene.switchTo("English");
    EXPECT_EQ(scene.main->windowTitle(), "Lanyx");
}

// The catalogues themselves: complete, and every placeholder and marked
// letter kept.
TEST(TranslationWalk, EveryMessageIsTranslatedWithItsPlaceholders) {
    static const QRegularExpression placeholder(QStringLiteral("%(\\d)"));
    static const QRegularExpression marked(QStringLiteral("&[^&\\s]"));
    for (const auto& lang : kLanguages) {
        QFile f(tsFile(lang.code));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << tsFile(lang.code).toStdString();
        QXmlStreamReader xml(&f);
        int messages = 0;
        QString source;
        while (!xml.atEnd()) {
            if (!xml.readNextStartElement()) continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
                ++messages;
                continue;
            }
            if (xml.name() != QLatin1String("translation")) continue;
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString text = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            if (type == QLatin1String("vanished") || type == QLatin1String("obsolete")) continue;
            const std::string what = std::string(lang.code) + ": " + source.toStdString() + " -> " + text.toStdString();
            EXPECT_NE(type, QLatin1String("unfinished")) << what;
            EXPECT_FALSE(text.isEmpty()) << what;
            QSet<QString> want, got;
            for (auto it = placeholder.globalMatch(source); it.hasNext();) want.insert(it.next().captured(0));
            for (auto it = placeholder.globalMatch(text); it.hasNext();) got.insert(it.next().captured(0));
            EXPECT_EQ(want, got) << what;
            if (source.contains(marked)) {
                EXPECT_TRUE(text.contains(marked)) << what;
            }
        }
        EXPECT_GT(messages, 100) << lang.code;
    }
}

// ---- the accessibility walk -----------------------------------------------------------------

TEST(AccessibilityWalk, EveryElementAUserCanActOnHasANameAndEveryWindowFits) {
    app();
    Scene scene;
    for (const char* language : {"English", "Deutsch"}) {
        scene.switchTo(language);
        QStringList problems;
        int elements = 0, windows = 0;
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || qobject_cast<QMenu*>(w)) continue;
            ++windows;
            const QString name = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                                           : w->objectName();
            walkAccessible(QAccessible::queryAccessibleInterface(w), name, problems, elements);
            if (!area.contains(w->frameGeometry()))
                problems << name + " does not fit the work area: " + QString::number(w->frameGeometry().width()) + "x" +
                                QString::number(w->frameGeometry().height());
        }
        for (auto* opt = scene.opt.data(); opt && opt->picOpt(); opt = nullptr)
            for (int page = 0; page < opt->picOpt()->count(); ++page) {
                opt->ShowPage(page);
                walkAccessible(QAccessible::queryAccessibleInterface(opt), "frmOpt/page" + QString::number(page),
                               problems, elements);
            }
        int menus = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* main = qobject_cast<QMainWindow*>(w))
                for (QAction* a : main->menuBar()->actions()) walkMenu(a->menu(), "menu/" + a->text(), problems, menus);
        for (int r = 0; r < scene.main->lvUsers()->model()->rowCount(); ++r)
            walkMenu(scene.main->UserMenu(r), "userMenu", problems, menus);
        for (frmPop* p : scene.windows->popups()) walkMenu(p->mnuPop(), "popupMenu", problems, menus);
        walkMenu(scene.chat->mnuUsers(), "chatUsersMenu", problems, menus);
        std::printf("[ walk     ] %s: %d windows, %d elements, %d menu items\n", language, windows, elements, menus);
        EXPECT_GT(windows, 12);
        EXPECT_TRUE(problems.isEmpty()) << language << ":\n" << problems.join("\n").toStdString();
    }
}

// ---- pictures for the documentation ------------------------------------------------------

// LANYX_SCREENSHOTS=DIR under a virtual display (tools/screenshots.sh runs
// it): the German main window and Transfers window, and a popup holding
// three alerts from one sender.
TEST(Pictures, TheGermanWindowsAndAPopupWithThreeAlertsWhenAsked) {
    const QString dir = qEnvironmentVariable("LANYX_SCREENSHOTS");
    if (dir.isEmpty()) GTEST_SKIP() << "set LANYX_SCREENSHOTS=DIR to save pictures of the windows";
    app();
    Scene scene;
    scene.switchTo("Deutsch");
    scene.ann.node.settings().PopupPosition = 0;
    // The main window as it is after the first start, its welcome closed.
    if (QWidget* welcome = scene.main->welcome())
        if (auto* close = welcome->findChild<QAbstractButton*>("btnWelcomeClose")) close->click();
    for (frmPop* p : scene.windows->popups()) p->close();
    QApplication::processEvents();
    frmPop* pop = scene.windows->ShowAlert("Der Drucker im zweiten Stock ist wieder frei.", "dora", false);
    ASSERT_NE(pop, nullptr);
    scene.windows->ShowAlert("Besprechung um 15 Uhr im kleinen Raum, bitte pünktlich.", "dora", true);
    scene.windows->ShowAlert("Kaffee ist fertig!", "dora", false);
    for (int i = 0; i < 20; ++i) QApplication::processEvents();
    ASSERT_NE(pop, nullptr);
    EXPECT_EQ(pop->alertCount(), 3);
    for (QWidget* w : QApplication::topLevelWidgets()) w->update();
    QApplication::processEvents();
    EXPECT_TRUE(scene.main->grab().save(dir + "/lanyx-main-de.png"));
    EXPECT_TRUE(scene.transfers->transfersWindow()->grab().save(dir + "/lanyx-transfers-de.png"));
    EXPECT_TRUE(pop->grab().save(dir + "/lanyx-popup-three.png"));
}
