#pragma once
// Moving a finished part file to the place the user chose: a rename on the same file
// system, else a copy next to the target that is renamed into place, then the part file
// is deleted. Blocks for as long as a copy takes: call it off the UI thread. Any thread.

#include <QString>

namespace engine {

// Why a file could not be written where it was meant to go.
enum class TFileProblem { None, DiskFull, AccessDenied, FolderMissing, Other };

struct TMoveResult {
    TFileProblem Problem = TFileProblem::None;
    QString Path; // where the file went
};

// Moves `partPath` to `target`. An existing file at `target` is replaced only when
// `replace` is true (the user agreed to it); otherwise the file goes to the first free
// "name (n).ext" beside it. On failure the part file stays as it was.
TMoveResult MovePartFile(const QString& partPath, const QString& target, bool replace);

} // namespace engine
