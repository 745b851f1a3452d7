#include "ReasonWords.h"

#include <QCoreApplication>

namespace lanyx {

QString reasonWords(const Error& error) {
    if (error.reason == Reason::Unknown)
        return QString::fromUtf8(error.text.data(), static_cast<qsizetype>(error.text.size()));
    const std::string key(keyOf(error.reason));
    const QString translated = QCoreApplication::translate("lanyx::Reason", key.c_str());
    // Without a translation Qt gives the key back.
    if (translated == QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())))
        return QString::fromUtf8(error.text.data(), static_cast<qsizetype>(error.text.size()));
    const auto filled = fillWords(translated.toStdString(), error.details);
    return QString::fromUtf8(filled.data(), static_cast<qsizetype>(filled.size()));
}

}  // namespace lanyx
