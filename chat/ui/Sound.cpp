#include "Sound.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace lanyx::ui {

SoundKind ClassifySound(const QString& setting) {
    if (setting == QLatin1String("(S)")) return SoundKind::Silent;
    if (setting == QLatin1String("(B)")) return SoundKind::Beep;
    return SoundKind::File;
}

void SoundPlayer::PlaySoundSetting(const QString& setting) {
    switch (ClassifySound(setting)) {
    case SoundKind::Silent: return;
    case SoundKind::Beep: QApplication::beep(); return;
    case SoundKind::File: break;
    }
    const QString file = locate_ ? locate_(setting) : setting;
    if (!QFileInfo::exists(file)) return;
    // Played asynchronously; the effect deletes itself once it has played.
    auto* effect = new QSoundEffect(qApp);
    effect->setSource(QUrl::fromLocalFile(file));
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect] {
        if (!effect->isPlaying() && effect->status() != QSoundEffect::Loading) effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Ready) effect->play();
        else if (effect->status() == QSoundEffect::Error) effect->deleteLater();
    });
}

QStringList SoundPlayer::WavFiles(const QStringList& folders) {
    QStringList names;
    for (const auto& folder : folders)
        for (const auto& name : QDir(folder).entryList({QStringLiteral("*.wav")}, QDir::Files, QDir::Name))
            if (!names.contains(name, Qt::CaseInsensitive)) names.append(name);
    names.sort(Qt::CaseInsensitive);
    return names;
}

}  // namespace lanyx::ui
