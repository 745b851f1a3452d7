#pragma once
// The Fennic button widget server: one object per connection of the shell.

#include "server/WidgetServer.h"
#include "button/model/ButtonStyle.h"

#include <QPointer>
#include <QTemporaryDir>
#include <memory>

class CButtonEditor;

inline const QString kFennicButtonProgID = QStringLiteral("PageletServer.FennicButton");
inline const QString kFennicButtonCLSID = QStringLiteral("{2F6C1E0A-7B4D-4C59-9A0E-5D3B8F1C6A42}");

// Ids of the server's strings, handed out by members 10 to 13.
namespace ButtonStrings {
constexpr long KindName = 1101;         // member 10
constexpr long KindDescription = 1102;  // member 11
constexpr long SupportFileType = 1103;  // member 12
constexpr long Maker = 1104;            // member 13
}  // namespace ButtonStrings

class CButtonResources : public IResourceModule {
public:
    QString LoadString(long id) const override;
};

class CFennicButtonServer : public IWidgetServer {
public:
    CFennicButtonServer();
    ~CFennicButtonServer() override;

    QString ProgID() const override;
    QString Name() const override { return m_style.title; }
    void SetName(const QString& name) override;
    QString Description() const override { return m_style.description; }
    void SetDescription(const QString& description) override;
    void SetLinkAddress(const QString& address) override;
    void SetSavedTime(const QDateTime& time) override { m_style.savedTime = time; }
    bool Load(const QString& path) override;
    bool Save(const QString& path) override;
    bool SaveCopy(const QString& path) override;

    long StringId10() const override { return ButtonStrings::KindName; }
    long StringId11() const override { return ButtonStrings::KindDescription; }
    long StringId12() const override { return ButtonStrings::SupportFileType; }
    long StringId13() const override { return ButtonStrings::Maker; }
    const IResourceModule* GetResourceHandle() const override { return &m_resources; }

    short GetCodePartCount() const override { return 2; }
    QString GetCodePartKind(short index) const override;
    QString GetCodePartText(short index, short form) const override;

    short GetSupportFileCount() const override;
    QString GetSupportFileName(short index) const override;
    QString GetSupportFilePath(short index) const override;
    QString GetSupportFileWebPath(short index) const override;

    QWidget* CreateEditor(QWidget* parent) override;
    long CloseEditor() override;
    void OnIdle() override {}
    QString GetPreviewFile() override;
    QString GetPreviewPage() override;
    void Activate(long active) override;
    long Modified() const override { return m_modified; }
    void SetModified(long modified) override { m_modified = modified; }
    long DarkPreview() const override { return m_dark; }
    void SetDarkPreview(long dark) override;
    bool PreTranslateMessage(QObject*, QEvent*) override { return false; }
    bool EditCommand(int command, bool queryOnly) override;
    bool SetOutputForm(const QString& form) override;
    bool GetChecks(QList<WidgetCheck>* checks) const override;
    bool NeedsSupportFiles() const override { return m_style.form == OutputForm::Svg; }

    const ButtonStyle& Style() const { return m_style; }
    void SetStyle(const ButtonStyle& style);  // as the editor does: marks modified
    // The support file for a .pgt path: same folder, a short web-safe name
    // made from the file's title. Where that name loses something of the
    // title (case, spaces, accents), a short hash of the title follows, so
    // titles that differ only in case get files of their own on any file
    // system ("oceanbtn.svg" for "oceanbtn", "oceanbtn-1a2b3c.svg" for
    // "OceanBtn").
    static QString SupportFileFor(const QString& pgtPath);
    // What the versions before wrote: the short name without the hash, and
    // before that the .pgt's own name with ".svg".
    static QString ShortSupportFileFor(const QString& pgtPath);
    static QString LegacySupportFileFor(const QString& pgtPath);
    // Whether the picture at svgPath was written for the work at pgtPath.
    static bool WrittenFor(const QString& svgPath, const QString& pgtPath);

private:
    QString SupportFilePath() const;  // empty: none on disk
    // A name beside pgtPath for the work's picture that is free or already
    // the work's own.
    QString ChooseSupportFile(const QString& pgtPath) const;
    QString SupportFileName() const;
    void RefreshEditor();

    ButtonStyle m_style;
    long m_modified = 0;
    long m_dark = 0;
    QString m_path;       // the .pgt last loaded or saved
    ButtonStyle m_saved;  // what m_path and its support file hold
    QPointer<CButtonEditor> m_editor;
    QString m_previewName;  // in the process's preview folder
    CButtonResources m_resources;
};
