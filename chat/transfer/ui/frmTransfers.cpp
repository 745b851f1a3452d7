#include "frmTransfers.h"

#include "FileTransfers.h"
#include "Resources.h"
#include "TransferView.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

namespace lanyx::ui {

namespace {
QPushButton* rowButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setVisible(false);
    return b;
}
QLabel* rowLabel(const char* name, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    return l;
}
}  // namespace

TransferRowWidget::TransferRowWidget(const QString& id, QWidget* parent) : QFrame(parent), id_(id) {
    setObjectName(QStringLiteral("row_") + id);
    setFrameShape(QFrame::StyledPanel);
    lblNames = rowLabel("lblNames", this);
    QFont bold = lblNames->font();
    bold.setBold(true);
    lblNames->setFont(bold);
    lblNames->setWordWrap(true);
    lblPeer = rowLabel("lblPeer", this);
    lblState = rowLabel("lblState", this);
    lblState->setWordWrap(true);
    lblAmounts = rowLabel("lblAmounts", this);
    lblSpeed = rowLabel("lblSpeed", this);
    lblSpeed->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    bar = new QProgressBar(this);
    bar->setObjectName("bar");
    bar->setRange(0, 100);
    bar->setTextVisible(true);
    btnAccept = rowButton(QString(), "btnAccept", this);
    btnDecline = rowButton(QString(), "btnDecline", this);
    btnCancel = rowButton(QString(), "btnCancel", this);
    btnRetry = rowButton(QString(), "btnRetry", this);
    btnOpen = rowButton(QString(), "btnOpen", this);
    SetLan();

    auto* grid = new QGridLayout(this);
    grid->addWidget(lblNames, 0, 0, 1, 2);
    grid->addWidget(lblPeer, 1, 0);
    grid->addWidget(lblAmounts, 1, 1, Qt::AlignRight);
    grid->addWidget(bar, 2, 0, 1, 2);
    grid->addWidget(lblState, 3, 0);
    grid->addWidget(lblSpeed, 3, 1);
    auto* buttons = new QVBoxLayout;
    for (auto* b : {btnAccept, btnDecline, btnCancel, btnRetry, btnOpen}) buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 4, 1);
    grid->setColumnStretch(0, 1);
}

void TransferRowWidget::SetLan() {
    btnAccept->setText(tr("&Accept..."));
    btnDecline->setText(tr("&Decline"));
    btnCancel->setText(tr("&Cancel"));
    btnRetry->setText(tr("&Retry"));
    btnOpen->setText(tr("&Open Folder"));
    // Buttons and bar say which transfer they belong to.
    const QString names = lblNames->text();
    for (QPushButton* b : {btnAccept, btnDecline, btnCancel, btnRetry, btnOpen}) b->setAccessibleDescription(names);
    bar->setAccessibleName(tr("Progress of %1").arg(names));
    setAccessibleName(names);
}

frmTransfers::frmTransfers(FileTransfers& files, QWidget* parent) : QWidget(parent, Qt::Window), files_(files) {
    EnsureResources();
    setObjectName("frmTransfers");

    setWindowIcon(QIcon(QStringLiteral(":/lanyx/lanyx.svg")));

    list_ = new QWidget;
    list_->setObjectName("transferList");
    listLayout_ = new QVBoxLayout(list_);
    empty_ = new QLabel(list_);
    empty_->setObjectName("lblEmpty");
    empty_->setWordWrap(true);
    empty_->setAlignment(Qt::AlignCenter);
    listLayout_->addWidget(empty_);
    listLayout_->addStretch(1);
    area_ = new QScrollArea(this);
    area_->setWidgetResizable(true);
    area_->setWidget(list_);
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    clear_ = new QPushButton(this);
    clear_->setObjectName("btnClear");
    close_ = new QPushButton(this);
    close_->setObjectName("btnClose");
    auto* close = close_;
    connect(clear_, &QPushButton::clicked, &files_, &FileTransfers::clearEnded);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(clear_);
    bottom->addStretch(1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(area_, 1);
    layout->addLayout(bottom);

    openFolder = [](const QString& folder) { return QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); };
    SetLan();
    connect(&files_, &FileTransfers::itemAdded, this, &frmTransfers::add);
    connect(&files_, &FileTransfers::itemChanged, this, &frmTransfers::update);
    connect(&files_, &FileTransfers::cleared, this, &frmTransfers::rebuild);
    rebuild();

    // Room for a few rows and a long name at the default font, on any screen
    // density, within the work area.
    const QFontMetrics fm(font());
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    const QRect area = s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(fm.averageCharWidth() * 80, area.width() - 24), std::min(fm.height() * 34, area.height() - 60));
}

void frmTransfers::SetLan() {
    setWindowTitle(tr("Transfers - Lanyx"));
    empty_->setText(tr("No transfers yet. Send files from a user's menu, or drop them onto a user."));
    clear_->setText(tr("C&lear Finished"));
    close_->setText(tr("Close"));
    area_->setAccessibleName(tr("Transfers"));
    for (const QString& id : rows_.keys()) update(id);
}

void frmTransfers::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) SetLan();
}

void frmTransfers::showFolder(const QString& folder) {
    if (folder.isEmpty() || !openFolder || openFolder(folder)) return;
    // Nothing on this desktop opens folders: the user still learns where.
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(),
                                tr("No program here opens folders. The files are in:\n%1")
                                    .arg(QDir::toNativeSeparators(QDir::cleanPath(folder))),
                                QMessageBox::Ok, this);
    box->setObjectName("boxOpenFolder");
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void frmTransfers::add(const QString& id) {
    // A picture's transfer is its chat's: the chat window shows it.
    if (rows_.contains(id) || !files_.item(id) || files_.item(id)->carried) return;
    auto* row = new TransferRowWidget(id, list_);
    // Before the stretch that keeps rows at the top.
    listLayout_->insertWidget(listLayout_->count() - 1, row);
    rows_.insert(id, row);
    connect(row->btnAccept, &QPushButton::clicked, this, [this, id] { Q_EMIT acceptRequested(id); });
    connect(row->btnDecline, &QPushButton::clicked, this, [this, id] { files_.decline(id); });
    connect(row->btnCancel, &QPushButton::clicked, this, [this, id] { files_.cancel(id); });
    connect(row->btnRetry, &QPushButton::clicked, this, [this, id] { files_.retry(id); });
    connect(row->btnOpen, &QPushButton::clicked, this, [this, id] {
        const TransferItem* item = files_.item(id);
        showFolder(item ? FolderToOpen(*item) : QString());
    });
    empty_->setVisible(false);
    update(id);
}

void frmTransfers::update(const QString& id) {
    const TransferItem* item = files_.item(id);
    TransferRowWidget* row = rows_.value(id);
    if (!item || item->carried) return;
    if (!row) {
        add(id);
        return;
    }
    const TransferRow r = RowFor(*item);
    row->lblNames->setText(r.names);
    row->lblPeer->setText(r.peer);
    row->lblState->setText(r.state);
    row->lblAmounts->setText(r.amounts);
    row->lblSpeed->setText(r.speed);
    row->bar->setValue(r.percent);
    row->bar->setVisible(r.bar);
    row->btnAccept->setVisible(r.accept);
    row->btnDecline->setVisible(r.decline);
    row->btnCancel->setVisible(r.cancel);
    row->btnRetry->setVisible(r.retry);
    row->btnOpen->setVisible(r.openFolder);
    row->SetLan();
    if (!item->skipped.isEmpty())
        row->lblNames->setToolTip(tr("Left out: %1").arg(item->skipped.join(QStringLiteral(", "))));
    bool anyEnded = false;
    for (const auto& i : files_.items()) anyEnded = anyEnded || i.ended();
    clear_->setEnabled(anyEnded);
}

void frmTransfers::rebuild() {
    for (auto it = rows_.begin(); it != rows_.end();) {
        if (files_.item(it.key())) {
            ++it;
            continue;
        }
        delete it.value();
        it = rows_.erase(it);
    }
    for (const auto& i : files_.items()) {
        if (!rows_.contains(i.id)) add(i.id);
        else update(i.id);
    }
    empty_->setVisible(rows_.isEmpty());
    bool anyEnded = false;
    for (const auto& i : files_.items()) anyEnded = anyEnded || i.ended();
    clear_->setEnabled(anyEnded);
}

}  // namespace lanyx::ui
