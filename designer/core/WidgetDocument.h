#pragma once
// The current work of the shell: one binding, its file path and the untitled
// counter. Kept free of widgets so that its rules can be exercised without a
// window; everything that needs the user goes through IDocumentHost.

#include "server/Pagelet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

enum class MessageIcon { None, Error, Exclamation, Question, Information };

class IDocumentHost {
public:
    enum class Answer { Yes, No, Cancel };
    virtual ~IDocumentHost() = default;
    virtual Answer AskSaveChanges() = 0;  // message 62003
    // A question of the string table: Yes/No/Cancel, or OK/Cancel (OK is Yes).
    virtual Answer AskQuestion(int id, bool yesNoCancel) {
        (void)id;
        (void)yesNoCancel;
        return Answer::Cancel;
    }
    virtual void ShowMessage(int id, const QStringList& args, MessageIcon icon) = 0;
    // The file dialog; saveForm proposes the given file name. Empty: cancelled.
    virtual QString AskFileName(bool saveForm, const QString& proposedName) = 0;
    // Creates and shows the editor of the binding that just became current.
    virtual bool ShowEditor() = 0;
    virtual void BeginWait() {}
    virtual void EndWait() {}
};

// Makes one binding; an unbound CPagelet (or nullptr) means binding failed.
using BindingFactory = std::function<std::unique_ptr<CPagelet>()>;

class CWidgetDocument {
public:
    CWidgetDocument(IDocumentHost& host, BindingFactory factory);
    ~CWidgetDocument();

    // The first work at start-up: false when nothing could be bound or shown.
    bool Start();

    // Each returns whether the new work became current (and its editor shown).
    bool NewBlank();
    bool NewFromTemplate(const QString& name, const QString& description, const QString& templatePath);
    bool Open(const QString& path);
    bool OpenWithDialog();

    // Whether the caller may go on; may ask 62003 and save.
    bool CloseCurrentWork();
    bool SaveCurrentWork(bool askForName);

    void Rename(const QString& name, const QString& description);
    // Writes the current work as a template under the given name and
    // description (62010 or 62011), leaving the work's own name, description,
    // path and modified flag as they were.
    bool SaveAsTemplate(const QString& name, const QString& description, const QString& templatePath);
    void ToggleOption();

    // Makes sure what is published is saved (63005, 63006); false: stop.
    bool PreparePublish();

    QString ProposedFileName() const;
    QString DocumentName() const;
    QString Title() const;
    bool IsModified() const;

    CPagelet* Current() const { return m_current.get(); }
    // Dialogs bind servers of their own the same way.
    const BindingFactory& Factory() const { return m_factory; }
    QString CurrentPath() const { return m_path; }
    int UntitledCounter() const { return m_untitled; }

private:
    std::unique_ptr<CPagelet> CreateBinding();
    // Loads path into binding and checks it was made by our widget server;
    // shows 62006 when not.
    bool LoadChecked(CPagelet& binding, const QString& path);

    IDocumentHost& m_host;
    BindingFactory m_factory;
    std::unique_ptr<CPagelet> m_current;
    QString m_path;
    // The name given in the New dialog, shown in the title until the work
    // has a file.
    QString m_givenName;
    int m_untitled = 0;
};

// The binding factory of the installed program: reads the class registry
// beside programFolder on every call, so a re-registration takes effect.
BindingFactory RegistryBindingFactory(const QString& programFolder);
