#include "core/SetupCheck.h"
#include "server/Pagelet.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kClsid = QStringLiteral("{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}");

CClassRegistry Registry(const QString& serverFile) {
    CClassRegistry registry;
    registry.LoadText(CClassRegistry::RegistrationText(kWidgetServerProgID, kClsid, serverFile, "Fennic Button"));
    return registry;
}

TEST(ClassRegistry, ReadsRegistryExportLayout) {
    CClassRegistry registry;
    registry.LoadText(
        "; comment\n"
        "[PageletServer.FennicButton\\CLSID]\n"
        "@=\"{ABC}\"\n"
        "[clsid\\{abc}\\InprocServer32]\n"
        "@=\"C:\\\\Program Files\\\\Fennic\\\\Server.dll\"\n"
        "\"ThreadingModel\"=\"Apartment\"\n"
        "[CLSID\\{ABC}\\ProgID]\n"
        "@=\"PageletServer.FennicButton.1\"\n"
        "stray line\n");
    EXPECT_EQ(registry.CLSIDFromProgID("pageletserver.fennicbutton"), "{ABC}");
    EXPECT_EQ(registry.InprocServer("{ABC}").value_or(""), "C:\\Program Files\\Fennic\\Server.dll");
    EXPECT_EQ(registry.QueryValue("CLSID\\{ABC}\\InprocServer32", "threadingmodel").value_or(""), "Apartment");
    EXPECT_EQ(registry.ProgIDFromCLSID("{ABC}"), "PageletServer.FennicButton.1");
    EXPECT_TRUE(registry.CLSIDFromProgID("Other.Thing").isEmpty());
    EXPECT_FALSE(registry.InprocServer("{DEF}").has_value());
}

TEST(ClassRegistry, RegistrationTextRoundTrips) {
    const QString file = "D:\\odd \"folder\"\\Server.dll";
    const CClassRegistry registry = Registry(file);
    EXPECT_EQ(registry.CLSIDFromProgID(kWidgetServerProgID), kClsid);
    EXPECT_EQ(registry.InprocServer(kClsid).value_or(""), file);
}

TEST(Binding, Failures) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    CPagelet unregistered;
    EXPECT_FALSE(unregistered.Bind(kWidgetServerProgID, CClassRegistry()));
    EXPECT_EQ(unregistered.LastError(), CPagelet::BindError::NotRegistered);

    CClassRegistry noKey;
    noKey.LoadText("[PageletServer.FennicButton\\CLSID]\n@=\"" + kClsid + "\"\n");
    CPagelet keyless;
    EXPECT_FALSE(keyless.Bind(kWidgetServerProgID, noKey));
    EXPECT_EQ(keyless.LastError(), CPagelet::BindError::NoServerKey);

    CPagelet missing;
    EXPECT_FALSE(missing.Bind(kWidgetServerProgID, Registry(dir.filePath("gone.so"))));
    EXPECT_EQ(missing.LastError(), CPagelet::BindError::NotLoadable);
    EXPECT_TRUE(missing.HelpFile().isEmpty());
    EXPECT_TRUE(missing.SamplePage().isEmpty());

    const QString text = dir.filePath("text.so");
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a library");
    f.close();
    CPagelet garbage;
    EXPECT_FALSE(garbage.Bind(kWidgetServerProgID, Registry(text)));
    EXPECT_EQ(garbage.LastError(), CPagelet::BindError::NotLoadable);

    // A real library that is no widget server.
    CPagelet plain;
    EXPECT_FALSE(plain.Bind(kWidgetServerProgID, Registry(FENNIC_PLAIN_LIBRARY)));
    EXPECT_FALSE(plain.IsBound());
}

TEST(Binding, BindsOurServerAndDerivesPaths) {
    CPagelet binding;
    ASSERT_TRUE(binding.Bind(kWidgetServerProgID, Registry(FENNIC_BUTTON_PLUGIN))) << int(binding.LastError());
    EXPECT_EQ(binding.CLSID(), kClsid);
    EXPECT_EQ(binding->ProgID(), kWidgetServerProgID);
    EXPECT_EQ(binding->Name(), "Normal");
    EXPECT_TRUE(binding->Description().isEmpty());
    const QString folder = QFileInfo(FENNIC_BUTTON_PLUGIN).absolutePath();
    EXPECT_EQ(binding.ServerFolder(), folder);
    EXPECT_EQ(binding.SamplePage(), folder + "/Sample/sample.htm");
    EXPECT_TRUE(binding.HelpFile().isEmpty());  // no FennicButton.hlp shipped
    EXPECT_EQ(binding.Strings()[0], "Fennic Button");
    EXPECT_EQ(binding.Strings()[2], "Meridex");  // member 13 comes third
    EXPECT_EQ(binding.Strings()[3], "widget file (*.svg)");

    // A CLSID that names another class in the same file is refused.
    CClassRegistry wrongClass;
    wrongClass.LoadText(CClassRegistry::RegistrationText(kWidgetServerProgID, "{00000000-0000-0000-0000-000000000001}",
                                                         FENNIC_BUTTON_PLUGIN, "x"));
    CPagelet other;
    EXPECT_FALSE(other.Bind(kWidgetServerProgID, wrongClass));
    EXPECT_EQ(other.LastError(), CPagelet::BindError::NotAWidgetServer);
}

TEST(ClassRegistry, RelativeServerFileLiesBesideTheRegistryFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath("classes.reg"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[CLSID\\{A}\\InprocServer32]\n@=\"PageletServer/../PageletServer/A.so\"\n"
        "\"ThreadingModel\"=\"Apartment\"\n"
        "[CLSID\\{B}\\InprocServer32]\n@=\"/opt/fennic/B.so\"\n"
        "[CLSID\\{C}\\ProgID]\n@=\"Some.Relative\"\n");
    file.close();
    CClassRegistry registry;
    ASSERT_TRUE(registry.LoadFile(file.fileName()));
    EXPECT_EQ(registry.InprocServer("{A}"), QDir(dir.path()).filePath("PageletServer/A.so"));
    EXPECT_EQ(registry.QueryValue("CLSID\\{A}\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(registry.InprocServer("{B}"), "/opt/fennic/B.so");
    EXPECT_EQ(registry.ProgIDFromCLSID("{C}"), "Some.Relative");
    // Text without a file has nothing to be relative to.
    CClassRegistry text;
    text.LoadText("[CLSID\\{A}\\InprocServer32]\n@=\"PageletServer/A.so\"\n");
    EXPECT_EQ(text.InprocServer("{A}"), "PageletServer/A.so");
}

// The check behind --check, over the build's own program folder and over a
// folder with no registry (the per-user registry is kept out of the way).
TEST(SetupCheck, ReportsBoundServerOrWhyNot) {
    QStandardPaths::setTestModeEnabled(true);
    const QString programFolder = QFileInfo(QFileInfo(FENNIC_BUTTON_PLUGIN).absolutePath()).absolutePath();
    const SetupReport good = CheckSetup(programFolder, "/home/u/Documents");
    EXPECT_TRUE(good.ok) << good.lines.join('\n').toStdString();
    const QString all = good.lines.join('\n');
    EXPECT_TRUE(all.contains("Widget server PageletServer.FennicButton: " +
                             QDir::toNativeSeparators(QFileInfo(FENNIC_BUTTON_PLUGIN).absoluteFilePath()) +
                             " (Fennic Button)"))
        << all.toStdString();
    EXPECT_FALSE(all.contains("Templates: 0 ")) << all.toStdString();
    EXPECT_FALSE(all.contains("(missing)")) << all.toStdString();

    QTemporaryDir empty;
    const SetupReport bad = CheckSetup(empty.path(), "/home/u/Documents");
    QStandardPaths::setTestModeEnabled(false);
    EXPECT_FALSE(bad.ok);
    const QString why = bad.lines.join('\n');
    EXPECT_TRUE(why.contains("Widget server PageletServer.FennicButton: not registered")) << why.toStdString();
    EXPECT_TRUE(why.contains("Help: ")) << why.toStdString();
}

}  // namespace
