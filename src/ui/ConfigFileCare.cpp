#include "ui/ConfigFileCare.h"

#include <QLoggingCategory>
#include <filesystem>

#include "core/IniFile.h"
#include "platform/AtomicFile.h"
#include "platform/SetAside.h"

Q_LOGGING_CATEGORY(lcConfig, "quillmark.config")

void TidyConfigFile(const QString& path)
{
    const std::string file = path.toStdString();
    if (const int removed = platform::RemoveStaleTemporaries(file))
        qCInfo(lcConfig) << "removed" << removed << "temporary files of an interrupted write";
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec || size <= core::IniFile::MaxFileBytes)
        return;
    if (const auto aside = platform::SetAsideFile(file))
        qCWarning(lcConfig) << path << "has" << size << "bytes, far too many for the settings: set "
                            << "aside as" << QString::fromStdString(*aside)
                            << "- starting a fresh one";
    else
        qCWarning(lcConfig) << path << "has" << size
                            << "bytes, far too many for the settings, and cannot be set aside: "
                               "its settings are not used";
}

void MakeConfigWritesDurable()
{
    core::IniFile::SetReplacer([](const std::filesystem::path& path, const std::string& data) {
        return !platform::ReplaceFileAtomically(path.string(), data);
    });
}
