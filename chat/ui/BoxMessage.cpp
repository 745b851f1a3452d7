#include "BoxMessage.h"

#include "KeyTexts.h"
#include "Resources.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace lanyx::ui {

frmBox::frmBox(const QString& title, const QString& text, const QIcon& icon, QWidget* parent) : QDialog(parent) {
    EnsureResources();
    setObjectName("frmBox");
    setWindowTitle(title);
    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setSizeGripEnabled(true);
    text_ = new QPlainTextEdit(text, this);
    text_->setObjectName("txtText");
    text_->setReadOnly(true);
    text_->setFrameShape(QFrame::NoFrame);
    text_->setBackgroundRole(QPalette::Window);
    text_->viewport()->setAutoFillBackground(false);
    // A word longer than the box breaks where it must.
    text_->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text_->setAccessibleName(title);
    auto* row = new QHBoxLayout;
    if (!icon.isNull()) {
        icon_ = new QLabel(this);
        icon_->setPixmap(icon.pixmap(32, 32));
        icon_->setAlignment(Qt::AlignTop);
        row->addWidget(icon_);
    }
    row->addWidget(text_, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addWidget(buttons);
    ok_->setFocus();
}

void frmBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::LanguageChange && textFn_) text_->setPlainText(textFn_());
}

void frmBox::fitToText() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    const QFontMetrics fm(text_->font());
    // As wide as the longest line (up to half the work area), as high as
    // the text at that width (up to most of it); the rest scrolls.
    int widest = 0;
    for (QTextBlock b = text_->document()->begin(); b.isValid() && widest < area.width(); b = b.next())
        widest = std::max(widest, fm.horizontalAdvance(b.text().left(300)));
    const int chrome = layout()->contentsMargins().left() + layout()->contentsMargins().right() +
                       (icon_ ? icon_->sizeHint().width() + 12 : 0) + text_->verticalScrollBar()->sizeHint().width() +
                       16;
    const QSize most = area.size() - QSize(24, 60);
    const int textWidth = std::clamp(widest + 16, fm.averageCharWidth() * 30, area.width() / 2);
    const int lines = text_->document()->lineCount() > 0 ? text_->document()->lineCount() : 1;
    int textHeight = 0;
    if (lines < 2000) {
        QTextDocument measure;
        measure.setDefaultFont(text_->font());
        measure.setDefaultTextOption(QTextOption(Qt::AlignLeft));
        QTextOption wrap;
        wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        measure.setDefaultTextOption(wrap);
        measure.setPlainText(text_->toPlainText().left(20000));
        measure.setTextWidth(textWidth);
        textHeight = static_cast<int>(measure.size().height());
    } else {
        textHeight = most.height();
    }
    const int buttonsHeight = ok_->sizeHint().height() + 2 * layout()->spacing() + layout()->contentsMargins().top() +
                              layout()->contentsMargins().bottom();
    const int w = std::min(textWidth + chrome, most.width());
    const int h = std::min(std::max(textHeight + 12, fm.height() * 3) + buttonsHeight, most.height());
    setMaximumSize(area.size());
    resize(w, h);
    move(area.center() - QPoint(w / 2, h / 2));
}

QWidget* ShowBoxMessage(const QString& text, const QString& sender) {
    auto* box = new frmBox(sender, text);
    box->fitToText();
    box->show();
    return box;
}

QWidget* ShowKeyWarning(const std::string& name, std::function<void()> showUser) {
    const QString who = QString::fromStdString(name);
    auto* box = new frmBox(who, KeyWarningText(who), QIcon(QStringLiteral(":/lanyx/warning.svg")));
    box->setObjectName("boxKeyChanged");
    box->setTextFn([who] { return KeyWarningText(who); });
    if (showUser) {
        auto* info = new QPushButton(frmBox::tr("User &information..."), box);
        info->setObjectName("cmdUserInfo");
        box->findChild<QDialogButtonBox*>()->addButton(info, QDialogButtonBox::ActionRole);
        QObject::connect(info, &QPushButton::clicked, box, [box, showUser] {
            showUser();
            box->close();
        });
    }
    box->fitToText();
    box->show();
    return box;
}

QString RenameNoticeText(const QString& from, const QString& to) {
    return frmBox::tr(
               "%1 is now called %2, a name in your groups or your history. What comes under the name %2 from "
               "now on is signed by %1's key: if %2 is somebody else to you, tell them apart before you write. "
               "A check of %1's key counts under the new name only once you compared the safety number in %2's "
               "information again.")
        .arg(from, to);
}

QWidget* ShowRenameNotice(const std::string& from, const std::string& to, std::function<void()> showUser) {
    const QString before = QString::fromStdString(from);
    const QString now = QString::fromStdString(to);
    auto* box = new frmBox(now, RenameNoticeText(before, now), QIcon(QStringLiteral(":/lanyx/warning.svg")));
    box->setObjectName("boxRenamedOntoKnownName");
    box->setTextFn([before, now] { return RenameNoticeText(before, now); });
    if (showUser) {
        auto* info = new QPushButton(frmBox::tr("User &information..."), box);
        info->setObjectName("cmdUserInfo");
        box->findChild<QDialogButtonBox*>()->addButton(info, QDialogButtonBox::ActionRole);
        QObject::connect(info, &QPushButton::clicked, box, [box, showUser] {
            showUser();
            box->close();
        });
    }
    box->fitToText();
    box->show();
    return box;
}

QString ListFullText(bool blockedList, std::size_t leftOut, std::size_t cap) {
    const auto n = static_cast<qulonglong>(leftOut);
    const auto most = static_cast<qulonglong>(cap);
    if (blockedList)
        return frmBox::tr(
                   "The list of blocked users holds %1 names, all that Lanyx keeps: %2 more were not blocked. "
                   "Unblock names you no longer need to make room.")
            .arg(most)
            .arg(n);
    return frmBox::tr("Lanyx keeps %1 groups: %2 more were left out.").arg(most).arg(n);
}

QWidget* ShowListFull(bool blockedList, std::size_t leftOut, std::size_t cap) {
    auto* box = new frmBox(QStringLiteral("Lanyx"), ListFullText(blockedList, leftOut, cap),
                           QIcon(QStringLiteral(":/lanyx/warning.svg")));
    box->setObjectName("boxListFull");
    box->setTextFn([=] { return ListFullText(blockedList, leftOut, cap); });
    box->fitToText();
    box->show();
    return box;
}

}  // namespace lanyx::ui
