#pragma once
// TFormSetting: the settings dialog with the three switches of config.ini (start at
// login, sound reminder, balloon reminder); start at login shows whether the login entry
// starts this client. OK stores them in SystemSettings and
// config.ini and writes or removes the autostart entry; Cancel (or Esc) changes nothing.
// A failure to store either is shown to the user. UI thread only.

#include <QDialog>

class QCheckBox;
class QPushButton;

class TFormSetting : public QDialog {
    Q_OBJECT
public:
    explicit TFormSetting(QWidget* parent = nullptr);

    QCheckBox* CheckBoxAutoStart = nullptr;
    QCheckBox* CheckBoxSoundHint = nullptr;
    QCheckBox* CheckBoxPopupHint = nullptr;
    QPushButton* ButtonOK = nullptr;
    QPushButton* ButtonCancel = nullptr;

    void FormCreate();
    void ButtonOKClick();
    // Writes (enable) or removes the autostart entry "BrowserQuillmark" that starts this
    // executable; on every confirmation, changed or not. Empty on success, else what went
    // wrong, for the user.
    static QString SetAutoStart(bool enable);
};
