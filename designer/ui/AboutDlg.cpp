#include "ui/AboutDlg.h"

#include "ui/FennicMessage.h"
#include "core/StringTable.h"
#include "controls/CreditsStatic.h"
#include "controls/DesignerBitmaps.h"
#include "controls/HyperlinkStatic.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kEncoderSourcePage = QStringLiteral("https://lame.sourceforge.io/download.php");
}

QString AboutCreditsText() {
    QStringList lines;
    lines << QString() << QStringLiteral("Tavish Fennic 2.1 (2026 build 43)\t") << QString() << QStringLiteral("...");
    const QList<QPair<QString, QStringList>> groups = {
        {QStringLiteral("Product Design"), {QStringLiteral("Ilse Marbury")}},
        {QStringLiteral("Programmer"), {QStringLiteral("Tobias Renwick"), QStringLiteral("Priya Halloran")}},
        {QStringLiteral("Interface Design"), {QStringLiteral("Mara Quennell")}},
        {QStringLiteral("Document"), {QStringLiteral("Oskar Lindqvist")}},
    };
    for (const auto& group : groups) {
        lines << QString() << QString() << group.first + u'\r' << QString();
        lines << group.second;
    }
    lines << QString() << QString() << QStringLiteral("Copyright (C) 2026 Meridex.")
          << QStringLiteral("All rights reserved.");
    for (int i = 0; i < 8; ++i) lines << QString();
    return lines.join(u'|');
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About"));
    auto* layout = new QVBoxLayout(this);
    m_credits = new CCreditsStatic(this);
    m_credits->setFixedSize(340, 190);
    m_credits->setFrameShape(QFrame::StyledPanel);
    m_credits->SetPictureProvider(CreditsPicture);
    layout->addWidget(m_credits, 0, Qt::AlignHCenter);

    auto* grid = new QGridLayout;
    m_web = new CHyperlinkStatic(QStringLiteral("www.meridex.example/tavishfennic"), this);
    m_support = new CHyperlinkStatic(QStringLiteral("fennic-support@meridex.example"), this);
    m_web->SetLinkCursor(Qt::PointingHandCursor);
    m_support->SetLinkCursor(Qt::PointingHandCursor);
    grid->addWidget(new QLabel(tr("Website:"), this), 0, 0);
    grid->addWidget(m_web, 0, 1);
    grid->addWidget(new QLabel(tr("Support:"), this), 1, 0);
    grid->addWidget(m_support, 1, 1);
    grid->addWidget(new QLabel(tr("Meridex, 14 Harbour Lane, Port Ellis"), this), 2, 0, 1, 2);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_web, &CHyperlinkStatic::Clicked, this,
            []() { ShellOpen(ShellTargetUrl(LoadStringResource(Ids::WebSiteAddress))); });
    connect(m_support, &CHyperlinkStatic::Clicked, this,
            []() { ShellOpen(ShellTargetUrl(LoadStringResource(Ids::SupportMailAddress))); });

    m_credits->SetCredits(AboutCreditsText(), u'|');
    m_credits->SetSpeed(2, 20);
    m_credits->SetCurrentSpeed(2);
    m_credits->SetColor(0, palette().color(QPalette::Button));
    m_credits->SetColor(1, QColor(0, 0, 192));
    m_credits->SetColor(3, QColor(0, 0, 128));
    m_credits->SetColor(4, QColor(0, 0, 0));
    m_credits->SetGradient(2);
    m_credits->StartScrolling();
}

QString LoadLicenceText(const QString& homeFolder) {
    QFile file(QDir(homeFolder).filePath(QStringLiteral("LPGL.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return FormatMessageText(QStringLiteral("Failed to open License file: \r\n%s"), {file.errorString().left(255)});
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return FormatMessageText(QStringLiteral("Failed to open License file: \r\n%s"), {file.errorString().left(255)});
    return QString::fromUtf8(bytes);
}

CLameAboutDlg::CLameAboutDlg(const QString& homeFolder, QWidget* parent)
    : QDialog(parent), m_licence(LoadLicenceText(homeFolder)) {
    setWindowTitle(tr("About LAME MP3 Encoder"));
    auto* layout = new QGridLayout(this);
    auto* logo = new QLabel(this);
    logo->setPixmap(DesignerBitmap(106));
    layout->addWidget(logo, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(tr("Tavish Fennic uses the LAME MP3 Encoder version 3.88."), this), 0, 1);
    layout->addWidget(new QLabel(tr("LAME is distributed under the GNU Library General Public License:"), this), 1, 1);
    auto* licence = new QPlainTextEdit(m_licence, this);
    licence->setReadOnly(true);
    licence->setMinimumSize(460, 220);
    layout->addWidget(licence, 2, 0, 1, 2);
    layout->addWidget(new QLabel(tr("The LAME source code can be downloaded from:"), this), 3, 0, 1, 2);
    auto* link = new CHyperlinkStatic(kEncoderSourcePage, this);
    link->SetLinkCursor(Qt::PointingHandCursor);
    layout->addWidget(link, 4, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons, 5, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(link, &CHyperlinkStatic::Clicked, this, []() { ShellOpen(QUrl(kEncoderSourcePage)); });
}
