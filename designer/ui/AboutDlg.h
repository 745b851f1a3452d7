#pragma once
// The two about boxes: the program's own, with scrolling credits, and the
// encoder's, with its licence text.

#include <QDialog>

class CCreditsStatic;
class CHyperlinkStatic;

// The credits of the About box in the credits control's line format.
QString AboutCreditsText();

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 100;
    explicit CAboutDlg(QWidget* parent = nullptr);
    CCreditsStatic* Credits() const { return m_credits; }

private:
    CCreditsStatic* m_credits;
    CHyperlinkStatic* m_web;
    CHyperlinkStatic* m_support;
};

// The licence text from "LPGL.txt" in homeFolder, or the reason it could not
// be read.
QString LoadLicenceText(const QString& homeFolder);

class CLameAboutDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kTemplateId = 156;
    CLameAboutDlg(const QString& homeFolder, QWidget* parent = nullptr);
    QString LicenceText() const { return m_licence; }

private:
    QString m_licence;
};
