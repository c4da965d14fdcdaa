#pragma once
// The numbered messages to the main window, as posted events that own their payload.

#include <QEvent>
#include <QString>

#include "shared/ZphConst.h"
#include "ui/BrowserTab.h"

// 2028 and 2040: an address.
class TAddressMessage : public QEvent {
public:
    TAddressMessage(QEvent::Type type, QString address) : QEvent(type), Address(std::move(address))
    {}
    const QString Address;
};

// 2029: a notification tip was clicked; its argument goes to the page's tipClickHandle.
class TTipClickMessage : public QEvent {
public:
    explicit TTipClickMessage(QString argument)
        : QEvent(zph::WM_TIPCLICK), Argument(std::move(argument))
    {}
    const QString Argument;
};

// The window's own message, not posted by anyone else: an update was accepted.
inline const QEvent::Type WM_UPDATEACCEPTED = QEvent::Type(QEvent::registerEventType());

// 2036: a popup waiting for its tab.
class TPopupMessage : public QEvent {
public:
    explicit TPopupMessage(TPopupInfo info) : QEvent(zph::WM_NEWTAB), Info(std::move(info)) {}
    const TPopupInfo Info;
};

// 2039: a page index.
class TPageIndexMessage : public QEvent {
public:
    explicit TPageIndexMessage(int pageIndex) : QEvent(zph::WM_CLOSETAB), PageIndex(pageIndex) {}
    const int PageIndex;
};
