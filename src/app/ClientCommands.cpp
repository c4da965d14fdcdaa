#include "app/ClientCommands.h"

#include "shared/ZphConst.h"
#include "ui/FormMain.h"
#include "ui/PostedMessages.h"

void PostClientCommand(TFormMain& form, const core::ClientCommand& command)
{
    switch (command.What) {
    case core::ClientCommand::Kind::ShowWindow:
        form.PostMessage(new QEvent(zph::WM_SHOWMAIN));
        break;
    case core::ClientCommand::Kind::OpenSettings:
        QMetaObject::invokeMethod(&form, &TFormMain::NSettingClick, Qt::QueuedConnection);
        break;
    case core::ClientCommand::Kind::OpenAddress:
        form.PostMessage(new TAddressMessage(zph::WM_OPENBROWSERWINDOW,
                                             QString::fromStdString(command.Address)));
        break;
    }
}
