#pragma once
// The one interface through which the shell talks to a widget server. The
// server is a plug-in found through the class registry (ClassRegistry.h); the
// shell never links against it. Member names follow the automation members the
// shell has always called; the DISPIDs are kept as constants so that logs and
// future scripting bridges can still name members by number.

#include <QDateTime>
#include <QEvent>
#include <QObject>
#include <QList>
#include <QString>
#include <stdexcept>

class QWidget;

namespace Dispid {
constexpr int ProgID = 1;
constexpr int Name = 2;
constexpr int Description = 3;
constexpr int LinkAddress = 5;  // see IWidgetServer::SetLinkAddress
constexpr int SavedTime = 6;
constexpr int Load = 7;
constexpr int Save = 8;
constexpr int StringId10 = 10;
constexpr int StringId11 = 11;
constexpr int StringId12 = 12;
constexpr int StringId13 = 13;
constexpr int GetCodePartCount = 17;
constexpr int GetCodePartKind = 18;
constexpr int GetCodePartText = 19;
constexpr int GetResourceHandle = 20;
constexpr int GetSupportFileCount = 21;
constexpr int GetSupportFileName = 22;
constexpr int GetSupportFilePath = 23;
constexpr int GetSupportFileWebPath = 24;
constexpr int CreateEditor = 29;
constexpr int CloseEditor = 30;
constexpr int OnIdle = 31;
constexpr int GetPreviewFile = 32;
constexpr int Activate = 33;
constexpr int Modified = 34;
constexpr int DarkPreview = 35;  // see IWidgetServer::DarkPreview
constexpr int PreTranslateMessage = 36;
constexpr int EditCommand = 37;        // see IWidgetServer::EditCommand
constexpr int GetPreviewPage = 38;     // see IWidgetServer::GetPreviewPage
constexpr int SetOutputForm = 39;      // see IWidgetServer::SetOutputForm
constexpr int GetChecks = 40;          // see IWidgetServer::GetChecks
constexpr int NeedsSupportFiles = 41;  // see IWidgetServer::NeedsSupportFiles
}  // namespace Dispid

// Commands of the shell's Edit menu handed to the server's editor.
namespace EditCmd {
constexpr int Undo = 57643;
constexpr int Redo = 57644;
}  // namespace EditCmd

// Raised by a server for what used to be an automation error; the text is what
// the shell shows after "Automation error: ".
class WidgetServerError : public std::runtime_error {
public:
    explicit WidgetServerError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString Message() const { return m_message; }

private:
    QString m_message;
};

// The string table of a server module (what GetResourceHandle used to hand out).
class IResourceModule {
public:
    virtual ~IResourceModule() = default;
    virtual QString LoadString(long id) const = 0;
};

// One of the checks a server's editor shows for its widget (contrast,
// focus, size, keyboard), as a build can gate on it.
struct WidgetCheck {
    enum class Result { Pass, Advice, Fail };
    QString state;     // the state it is about ("hover"); empty: every state
    QString page;      // the page it is judged on ("dark"); empty: any page
    QString what;      // "text on fill"
    QString measured;  // "2.84:1"
    QString required;  // "4.50:1"; empty where nothing is required
    Result result = Result::Pass;
};

class IWidgetServer {
public:
    virtual ~IWidgetServer() = default;

    virtual QString ProgID() const = 0;
    virtual QString Name() const = 0;
    virtual void SetName(const QString& name) = 0;
    virtual QString Description() const = 0;
    virtual void SetDescription(const QString& description) = 0;
    // Member 5: the address the widget links to. Widgets made from a template
    // get it emptied, so a template's sample address never ends up on a page
    // unnoticed; the author sets the real one in the editor.
    virtual void SetLinkAddress(const QString& address) = 0;
    virtual void SetSavedTime(const QDateTime& time) = 0;
    virtual bool Load(const QString& path) = 0;
    virtual bool Save(const QString& path) = 0;
    // Writes the work to `path` without making that file the work's own (a
    // template copy): code and support files keep naming the work's file.
    virtual bool SaveCopy(const QString& path) { return Save(path); }

    // Members 10 to 13: ids of the server's strings in its resource module.
    virtual long StringId10() const = 0;
    virtual long StringId11() const = 0;
    virtual long StringId12() const = 0;
    virtual long StringId13() const = 0;
    virtual const IResourceModule* GetResourceHandle() const = 0;

    virtual short GetCodePartCount() const = 0;
    virtual QString GetCodePartKind(short index) const = 0;
    virtual QString GetCodePartText(short index, short form) const = 0;

    virtual short GetSupportFileCount() const = 0;
    virtual QString GetSupportFileName(short index) const = 0;
    virtual QString GetSupportFilePath(short index) const = 0;  // ends in a separator
    virtual QString GetSupportFileWebPath(short index) const = 0;

    // Creates the editor as a child of parent; nullptr ends the shell. May
    // throw WidgetServerError.
    virtual QWidget* CreateEditor(QWidget* parent) = 0;
    virtual long CloseEditor() = 0;
    virtual void OnIdle() = 0;
    virtual QString GetPreviewFile() = 0;
    virtual void Activate(long active) = 0;
    virtual long Modified() const = 0;
    virtual void SetModified(long modified) = 0;
    // Member 35: non-zero shows the live preview on a dark page instead of a
    // light one. A view option: not stored in the .pgt and never marks the
    // work modified.
    virtual long DarkPreview() const = 0;
    virtual void SetDarkPreview(long dark) = 0;
    // Key events of the shell's window before the shell handles them; true
    // when the server consumed the event.
    virtual bool PreTranslateMessage(QObject* target, QEvent* event) = 0;
    // Member 37: an Edit menu command (EditCmd::) for the open editor. With
    // queryOnly it only says whether the command can be carried out now;
    // otherwise it carries it out and says whether it did. Servers without
    // an undo history keep the default.
    virtual bool EditCommand(int /*command*/, bool /*queryOnly*/) { return false; }
    // Member 38: what Preview in Browser opens, the widget on a page as a
    // visitor meets it. GetPreviewFile stays the bare picture the template
    // dialogs draw.
    virtual QString GetPreviewPage() { return GetPreviewFile(); }
    // Member 39: what the page gets, by the server's own name for it
    // ("link", "button", "svg" for the Fennic button); false for a name the
    // server does not know. Publishing from the command line uses it.
    virtual bool SetOutputForm(const QString& /*form*/) { return false; }
    // Member 40: the checks the server's editor shows, for the widget as it
    // stands (in the form last set); false when the server has none.
    virtual bool GetChecks(QList<WidgetCheck>* /*checks*/) const { return false; }
    // Member 41: whether the widget as it stands needs support files beside
    // the page. A saved, unchanged work that needs none is published without
    // a question; servers that do not say keep the default, and a work
    // without its files is then saved first.
    virtual bool NeedsSupportFiles() const { return true; }
};

// Root object of a widget server plug-in: one factory per plug-in file, one
// IWidgetServer per connection.
class IWidgetServerFactory {
public:
    virtual ~IWidgetServerFactory() = default;
    virtual QString ProgID() const = 0;
    virtual QString CLSID() const = 0;
    virtual IWidgetServer* CreateInstance() = 0;  // the caller owns the result
};

#define IWidgetServerFactory_iid "com.meridex.TavishFennic.IWidgetServerFactory/1.0"
Q_DECLARE_INTERFACE(IWidgetServerFactory, IWidgetServerFactory_iid)

// A command a server's editor sends to the window hosting it (the shell
// handles 32780, 32785, 32789 and 32805 this way). Post it to the parent given
// to CreateEditor.
class ShellCommandEvent : public QEvent {
public:
    // A fixed number: a registered one would differ between the shell and a
    // plug-in that each hold their own copy of this header.
    static QEvent::Type EventType() { return static_cast<QEvent::Type>(QEvent::User + 0x7f1); }
    explicit ShellCommandEvent(int command) : QEvent(EventType()), m_command(command) {}
    int Command() const { return m_command; }

private:
    int m_command;
};
