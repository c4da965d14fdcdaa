#include "platform/DetachedProcess.h"

#include "platform/PlatformLog.h"

#include <QProcess>
#include <QStringList>

namespace platform {

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingDirectory, std::string* error)
{
    QStringList args;
    for (const std::string& argument : arguments)
        args << QString::fromStdString(argument);
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(args);
    process.setWorkingDirectory(QString::fromStdString(workingDirectory));
    if (process.startDetached())
        return true;
    qCWarning(lcPlatform).noquote()
        << "Cannot start" << process.program() << ":" << process.errorString();
    if (error)
        *error = process.errorString().toStdString();
    return false;
}

} // namespace platform
