// Renders the generated button in headless Chromium and checks that hover
// and press change its look, on its own and embedded by the published code.
// Skipped where Chromium (or Python for the driver script) is not installed.

#include "button/model/ButtonStyle.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Write(const QString& path, const QString& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

TEST(BrowserCheck, HoverAndPressedDifferFromNormal) {
    const QString chromium = qEnvironmentVariable("FENNIC_CHROMIUM", "/usr/bin/chromium");
    const QString python = QStandardPaths::findExecutable("python3");
    if (!QFile::exists(chromium) || python.isEmpty())
        GTEST_SKIP() << "needs " << chromium.toStdString() << " and python3";

    QTemporaryDir dir;
    ButtonStyle style;
    style.label = "Hover me";
    style.link = "target.htm";
    style.altText = "A test button";
    const QString svgName = "Test Button_PageletServer.FennicButton.svg";
    Write(dir.filePath(svgName), ButtonOutput::InteractiveSvg(style));
    Write(dir.filePath("page.htm"), "<!DOCTYPE html>\n<html><head>" + ButtonOutput::StyleCode(style) +
                                        "</head><body style=\"margin:0\">" +
                                        ButtonOutput::CursorCode(style, svgName) + "</body></html>\n");

    for (const QString& page : {dir.filePath(svgName), dir.filePath("page.htm")}) {
        QProcess check;
        check.setProcessChannelMode(QProcess::MergedChannels);
        check.start(python, {FENNIC_BROWSER_CHECK, page, "20", "15"});
        ASSERT_TRUE(check.waitForFinished(90000));
        const QString out = QString::fromUtf8(check.readAll());
        if (check.exitCode() == 77)
            GTEST_SKIP() << out.toStdString();
        EXPECT_EQ(check.exitCode(), 0) << out.toStdString();
    }
}

}  // namespace
