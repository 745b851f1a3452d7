#pragma once
// The toolkit's side of the chosen language: the program's own texts
// beyond the language file (lanyx_xx.qm) and the toolkit's dialogs and
// buttons (qtbase_xx.qm), installed for the language named in the
// settings and replaced when it changes.
#include <QString>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

namespace lanyx::ui {

class UiLanguage {
public:
    UiLanguage();
    ~UiLanguage();
    // Installs the translations for a language as the settings name it
    // ("English", "Deutsch", ...); false where some were not found (English
    // needs none). Installing sends every widget a language change.
    bool Apply(const std::string& language);
    // "de" for "Deutsch": the locale of a language name, "en" when unknown.
    static QString LocaleFor(const std::string& language);
    QString current() const { return current_; }

private:
    QString current_ = QStringLiteral("en");
    std::vector<std::unique_ptr<QTranslator>> installed_;
};

// Every open window takes the texts of the current language.
void SetLanEverywhere();

}  // namespace lanyx::ui
