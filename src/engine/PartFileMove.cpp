#include "engine/PartFileMove.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>
#include <system_error>

#include "core/TransferFigures.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const QString& path)
{
    return fs::path(path.toStdU16String());
}

TFileProblem ProblemOf(const std::error_code& error)
{
    if (error == std::errc::no_space_on_device || error == std::errc::file_too_large)
        return TFileProblem::DiskFull;
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted ||
        error == std::errc::read_only_file_system)
        return TFileProblem::AccessDenied;
    if (error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory)
        return TFileProblem::FolderMissing;
    return TFileProblem::Other;
}

QString FreeTarget(const QString& target)
{
    const QFileInfo info(target);
    if (!info.exists() && !info.isSymLink())
        return target;
    const std::string name = info.fileName().toStdString();
    for (int n = 1;; ++n) {
        const QString candidate =
            info.dir().filePath(QString::fromStdString(core::NumberedFileName(name, n)));
        if (!QFileInfo::exists(candidate) && !QFileInfo(candidate).isSymLink())
            return candidate;
    }
}

// Another file system: a copy beside the target first, so a full disk never leaves half a
// file under the chosen name.
std::error_code CopyInto(const fs::path& from, const fs::path& to)
{
    const fs::path copy =
        to.parent_path() /
        PathOf(QStringLiteral(".%1.part").arg(QUuid::createUuid().toString(QUuid::Id128)));
    std::error_code error;
    fs::copy_file(from, copy, error);
    if (!error)
        fs::rename(copy, to, error);
    if (error) {
        std::error_code ignored;
        fs::remove(copy, ignored);
        return error;
    }
    fs::remove(from, error);
    return {};
}

} // namespace

TMoveResult MovePartFile(const QString& partPath, const QString& target, bool replace)
{
    if (!QFileInfo::exists(partPath))
        return {TFileProblem::Other, target};
    if (!QFileInfo(target).absoluteDir().exists())
        return {TFileProblem::FolderMissing, target};
    const QString destination = replace ? target : FreeTarget(target);
    const fs::path from = PathOf(partPath);
    const fs::path to = PathOf(destination);
    std::error_code error;
    fs::rename(from, to, error);
    if (error == std::errc::cross_device_link)
        error = CopyInto(from, to);
    if (error)
        return {ProblemOf(error), destination};
    return {TFileProblem::None, destination};
}

} // namespace engine
