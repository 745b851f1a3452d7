#pragma once
// The alert sound setting: "(S)" silence, "(B)" the system beep, anything
// else a .wav file of the program's folder, played without waiting.
#include <QString>
#include <functional>

namespace lanyx::ui {

enum class SoundKind { Silent, Beep, File };
SoundKind ClassifySound(const QString& setting);

class SoundPlayer {
public:
    // Where a sound file of that name lives (the data folder's copy wins).
    using Locate = std::function<QString(const QString& name)>;
    explicit SoundPlayer(Locate locate) : locate_(std::move(locate)) {}
    void PlaySoundSetting(const QString& setting);
    // The .wav files a user can choose: the data folder's and the program folder's.
    static QStringList WavFiles(const QStringList& folders);

private:
    Locate locate_;
};

}  // namespace lanyx::ui
