#pragma once
// The short sound that goes with a notification, compiled into the client. A machine
// without an audio output plays nothing and reports nothing. UI thread only.

#include <memory>

class QSoundEffect;

class TNotificationSound {
public:
    TNotificationSound();
    ~TNotificationSound();
    // Plays the sound unless it is still playing, so a flood does not pile up.
    void Play();

private:
    std::unique_ptr<QSoundEffect> effect_; // made on the first Play()
};
