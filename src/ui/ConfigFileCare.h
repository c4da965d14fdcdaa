#pragma once
// What the client does for config.ini before it first reads it: it clears away what a
// crash left, and sets aside a file too large to be the client's.

#include <QString>

// Removes the temporary files of a replacement that a crash interrupted; a file over
// core::IniFile::MaxFileBytes is renamed to config.ini.bad (never replacing an earlier
// one, see platform/SetAside.h), logged, and the client starts a fresh file. UI thread, by
// the one running client.
void TidyConfigFile(const QString& path);

// Makes every config.ini write durable: synced to disk before and after the rename.
void MakeConfigWritesDurable();
