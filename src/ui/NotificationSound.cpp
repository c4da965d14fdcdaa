#include "ui/NotificationSound.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>

TNotificationSound::TNotificationSound() = default;
TNotificationSound::~TNotificationSound() = default;

void TNotificationSound::Play()
{
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!effect_) {
        effect_ = std::make_unique<QSoundEffect>();
        effect_->setSource(QUrl(QStringLiteral("qrc:/sounds/Notify.wav")));
    }
    if (!effect_->isPlaying())
        effect_->play();
}
