#pragma once
// The engine's own script dialogs, for dialogs that no handler takes: the page's text,
// captioned "Javascript Alert - ADDRESS" (Confirm, Prompt), with OK, OK and Cancel, or an
// input field. Each is modal to its view's window only, so the rest of the client (the
// tray menu above all) stays usable, and a child of the view, so BrowserPage::Close()
// rejects it. UI thread only.

#include <QString>
#include <QUrl>

#include "engine/EngineTypes.h"

namespace engine {

// True when the user accepted; a prompt's text goes to `input`. False when cancelled,
// closed, or when the view went away meanwhile.
bool RunEngineDialog(QWidget* view, TJsDialogType type, const QUrl& pageUrl, const QString& message,
                     const QString& defaultText, QString* input);

} // namespace engine
