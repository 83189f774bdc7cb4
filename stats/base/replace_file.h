// Replacing a file's content whole, so that a failure half-way (a full disk, a folder
// that cannot be written, a stale or planted file where the temporary one would go)
// never leaves the file truncated or half-written: the previous content stays until the
// new one is complete.
#pragma once
#include <string>

// Writes `content` to a new temporary file in the same folder and renames it over
// `path`. False, with `path` as it was and no temporary file left, when anything fails,
// or when `path` is read-only (as the Windows file functions refuse to replace it).
// The temporary file is created exclusively under a name no other process uses: a file,
// folder or link already there is never written through or followed, only skipped.
bool replaceFile(const std::string& path, const std::string& content);

// The name of the temporary file for `path` at the given attempt (0, 1, ...), for tests.
std::string temporaryFileName(const std::string& path, int attempt);
