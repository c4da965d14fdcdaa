#pragma once
// The engine's own script dialogs, for dialogs that no handler takes: the page's text,
// captioned with the page's host only (the address may carry the workstation's identity),
// with OK, OK and Cancel, or an input field. Each is modal to its view's window only, so
// the rest of the client (the tray menu above all) stays usable, and a child of the view,
// so BrowserPage::Close() rejects it. UI thread only.

#include <QString>
#include <QUrl>
#include <functional>

#include "engine/EngineTypes.h"

class QWidget;

namespace engine {

// Shows one dialog in the client's own look; it must be a QDialog child of `view`. True
// when accepted; a prompt's text goes to `input`.
using TEngineDialogShow =
    std::function<bool(QWidget* view, TJsDialogType type, const QString& caption,
                       const QString& message, const QString& defaultText, QString* input)>;
// Replaces the plain Qt dialogs shown until then.
void SetEngineDialogShow(TEngineDialogShow show);

// True when the user accepted; a prompt's text goes to `input`. False when cancelled,
// closed, or when the view went away meanwhile.
bool RunEngineDialog(QWidget* view, TJsDialogType type, const QUrl& pageUrl, const QString& message,
                     const QString& defaultText, QString* input);

} // namespace engine
