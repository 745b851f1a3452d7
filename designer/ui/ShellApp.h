#pragma once
// The application: profile, home folder, working folder, main window.

#include <QString>

class QWidget;

class CShellApp {
public:
    CShellApp();
    // Runs the main window until it closes; the program's exit code. A work
    // file given is opened in place of the first untitled work.
    int Run(const QString& work = QString());

    QString HomeFolder() const { return m_homeFolder; }
    static CShellApp* Instance();

    // The about boxes belong to the application.
    void OnAppAbout(QWidget* parent);
    void OnLameAbout(QWidget* parent);

    // Makes "My Widget" in home (or, when that cannot be made, in documents)
    // the current folder; returns it, or empty when neither could be made and
    // the current folder stays as it was.
    static QString EnterWorkingFolder(const QString& home, const QString& documents);

private:
    QString m_homeFolder;
};
