#include "frmAbout.h"

#include "frmMain.h"
#include "LangText.h"

#include "Resources.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace lanyx::ui {

frmAbout::frmAbout(ChatNode& node, frmMain* main) : QWidget(main, Qt::Window), node_(node), main_(main) {
    EnsureResources();
    setObjectName("frmAbout");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About Lanyx"));
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));

    logo_ = new QLabel(this);
    logo_->setPixmap(QIcon(QStringLiteral(":/lanyx/logo.svg")).pixmap(64, 64));
    lblVer_ = new QLabel(QStringLiteral("00.00.00"), this);
    QFont vf(QStringLiteral("Arial"));
    vf.setPointSize(14);
    vf.setBold(true);
    lblVer_->setFont(vf);
    label1_ = new QLabel(this);
    label1_->setWordWrap(true);
    lblWeb_ = new QLabel(this);
    lblWeb_->setCursor(Qt::PointingHandCursor);
    lblWeb_->setStyleSheet(QStringLiteral("color: #0645ad; text-decoration: underline;"));
    lblWeb_->installEventFilter(this);
    lblWeb_->setFocusPolicy(Qt::StrongFocus);

    txtL_ = new QPlainTextEdit(this);
    txtL_->setReadOnly(true);
    txtL_->setObjectName("txtL");

    auto* tb = new QToolBar(this);
    tb->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tbC_ = tb->addAction(QStringLiteral("CopyRight (C)"));
    tbL_ = tb->addAction(QStringLiteral("Licence"));
    connect(tbC_, &QAction::triggered, this, [this] { TB_ButtonClick(QStringLiteral("c")); });
    connect(tbL_, &QAction::triggered, this, [this] { TB_ButtonClick(QStringLiteral("l")); });
    auto* tbClose = new QToolBar(this);
    tbClose->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tbClose_ = tbClose->addAction(QStringLiteral("&Close"));
    connect(tbClose_, &QAction::triggered, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(logo_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->addWidget(lblVer_);
    texts->addWidget(label1_);
    texts->addWidget(lblWeb_);
    texts->addStretch();
    top->addLayout(texts, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(tb);
    bottom->addStretch();
    bottom->addWidget(tbClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtL_, 1);
    layout->addLayout(bottom);
    resize(420, 340);

    SetLan();
    lblVer_->setText(QString::fromStdString(node_.state().VersionText));
    TB_ButtonClick(QStringLiteral("c"));
}

void frmAbout::SetLan() {
    if (!node_.language().errorFlag()) {
        auto text = [&](int code, const QString& builtIn) { return LangTextOr(node_, code, builtIn); };
        setWindowTitle(text(7001, windowTitle()));
        label1_->setText(text(7002, label1_->text()));
        lblWeb_->setText(text(7003, lblWeb_->text()));
        tbClose_->setText(text(7004, tbClose_->text()));
        tbC_->setText(text(7005, tbC_->text()));
        tbL_->setText(text(7006, tbL_->text()));
    }
    lblWeb_->setAccessibleName(QString(lblWeb_->text()).remove(QLatin1Char('&')));
    lblWeb_->setToolTip(tr("The program's pages on the web"));
    txtL_->setAccessibleName(shownText_ == QLatin1String("l") ? QString(tbL_->text()).remove(QLatin1Char('&'))
                                                              : QString(tbC_->text()).remove(QLatin1Char('&')));
    lblVer_->setAccessibleName(tr("Version"));
    logo_->setAccessibleName(QStringLiteral("Lanyx"));
    if (!shownText_.isEmpty()) TB_ButtonClick(shownText_);
}

void frmAbout::TB_ButtonClick(const QString& key) {
    const QString k = key.toLower();
    if (k == QLatin1String("c")) txtL_->setPlainText(CopyRightText(node_.secure() != nullptr));
    else if (k == QLatin1String("l")) txtL_->setPlainText(LicenceText());
    else return;
    shownText_ = k;
}

void frmAbout::lblWeb_Click() {
    QMenu* web = main_ ? main_->mnuWeb() : nullptr;
    if (!web) return;
    web->popup(mapToGlobal(QPoint(lblWeb_->x(), lblWeb_->y() + lblWeb_->height())));
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblWeb_) {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            lblWeb_Click();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
                lblWeb_Click();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmAbout::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
    if (event->type() != QEvent::ActivationChange || isActiveWindow()) return;
    // Another window of ours became active: the about window goes.
    QWidget* active = QApplication::activeWindow();
    if (active && active != this && !qobject_cast<QMenu*>(active)) close();
}

QString frmAbout::CopyRightText(bool withKeys) {
    const QString head = tr(
        "Lanyx - chat and alerts for your local network.\n\n"
        "Copyright (C) the Lanyx developers.\n\n"
        "Lanyx talks to the other copies on your network segment directly: "
        "there is no server, and nothing you send leaves the segment. ");
    if (!withKeys)
        return head + tr("This copy has no keys: messages travel as plain text and anyone on the "
                         "segment can read them or send under any name, so do not use Lanyx for secrets.");
    return head + tr("Between copies of this Lanyx, what you send is signed and private messages "
                     "are encrypted; public alerts and chat lines can still be read by anyone on "
                     "the segment. Copies of the original protocol have no keys: what goes to and "
                     "from them travels as plain text that anyone on the segment can read or send "
                     "under any name.");
}

QString frmAbout::LicenceText() {
    return tr(
        "Lanyx is free software: you may use, copy, change and pass it on, "
        "alone or with other programs, provided that this notice stays with "
        "every copy and that changed copies say that they were changed.\n\n"
        "Lanyx comes with no warranty of any kind, not even that it is fit for "
        "a particular purpose. The authors are not liable for any damage that "
        "comes from using it, as far as the law allows.");
}

}  // namespace lanyx::ui
