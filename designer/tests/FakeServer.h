#pragma once
// An in-process widget server whose answers the tests choose.

#include "server/WidgetServer.h"

#include <QHash>
#include <QWidget>
#include <memory>
#include <optional>

struct FakeServerState {
    // path -> ProgID the file names; paths not listed do not load
    QHash<QString, QString> files;
    bool saveSucceeds = true;
    QStringList saved;
    int created = 0;
    int closedEditors = 0;
    bool editorThrows = false;
    bool noEditor = false;
    // kind, text
    QList<QPair<QString, QString>> codeParts;
    // name, folder, web path
    QList<QStringList> supportFiles;
    QString previewFile;
    // What GetChecks gives; none: the server has no checks.
    std::optional<QList<WidgetCheck>> checks;
    bool needsSupportFiles = true;
};

class FakeServer : public IWidgetServer, public IResourceModule {
public:
    explicit FakeServer(std::shared_ptr<FakeServerState> state) : m_state(std::move(state)) { ++m_state->created; }

    QString LoadString(long id) const override { return QStringLiteral("string %1").arg(id); }

    QString ProgID() const override { return m_progId; }
    QString Name() const override { return m_name; }
    void SetName(const QString& name) override { m_name = name; }
    QString Description() const override { return m_description; }
    void SetDescription(const QString& d) override { m_description = d; }
    void SetLinkAddress(const QString& a) override { m_link = a; }
    void SetSavedTime(const QDateTime& t) override { m_saved = t; }
    bool Load(const QString& path) override {
        if (!m_state->files.contains(path)) return false;
        m_progId = m_state->files.value(path);
        m_name = QStringLiteral("Loaded");
        m_link = QStringLiteral("https://example.org/");
        return true;
    }
    bool Save(const QString& path) override {
        if (!m_state->saveSucceeds) return false;
        m_state->saved << path;
        return true;
    }
    long StringId10() const override { return 10; }
    long StringId11() const override { return 11; }
    long StringId12() const override { return 12; }
    long StringId13() const override { return 13; }
    const IResourceModule* GetResourceHandle() const override { return this; }
    short GetCodePartCount() const override { return static_cast<short>(m_state->codeParts.size()); }
    QString GetCodePartKind(short i) const override { return m_state->codeParts.value(i).first; }
    QString GetCodePartText(short i, short) const override { return m_state->codeParts.value(i).second; }
    short GetSupportFileCount() const override { return static_cast<short>(m_state->supportFiles.size()); }
    QString GetSupportFileName(short i) const override { return m_state->supportFiles.value(i).value(0); }
    QString GetSupportFilePath(short i) const override { return m_state->supportFiles.value(i).value(1); }
    QString GetSupportFileWebPath(short i) const override { return m_state->supportFiles.value(i).value(2); }
    QWidget* CreateEditor(QWidget* parent) override {
        if (m_state->editorThrows) throw WidgetServerError(QStringLiteral("no editor today"));
        if (m_state->noEditor || !parent) return nullptr;
        m_editor = new QWidget(parent);
        return m_editor;
    }
    long CloseEditor() override {
        ++m_state->closedEditors;
        delete m_editor;
        m_editor = nullptr;
        return 1;
    }
    void OnIdle() override {}
    QString GetPreviewFile() override { return m_state->previewFile; }
    void Activate(long a) override { lastActivate = a; }
    long Modified() const override { return m_modified; }
    void SetModified(long m) override { m_modified = m; }
    long DarkPreview() const override { return m_dark; }
    void SetDarkPreview(long d) override { m_dark = d; }
    bool PreTranslateMessage(QObject*, QEvent*) override { return false; }
    bool NeedsSupportFiles() const override { return m_state->needsSupportFiles; }
    bool GetChecks(QList<WidgetCheck>* checks) const override {
        if (!m_state->checks) return false;
        *checks = *m_state->checks;
        return true;
    }

    QString Link() const { return m_link; }
    long lastActivate = -1;

private:
    std::shared_ptr<FakeServerState> m_state;
    QString m_progId = QStringLiteral("PageletServer.FennicButton");
    QString m_name, m_description, m_link;
    QDateTime m_saved;
    long m_modified = 0;
    long m_dark = 0;
    QWidget* m_editor = nullptr;
};
