#pragma once

#include <string>
#include <string_view>

namespace platform {

// Replaces the content of the file at path (a game path, see NativePath) with content, so
// that the file is at every moment either all old or all new, also after a crash, a full
// disk or a file-size limit:
//
// - a symbolic link is followed to the file it names (the link stays a link);
// - the new content goes into a temporary file of a name of its own in the same folder,
//   which is synced and renamed over the file, and the folder is synced;
// - the file keeps its permission bits; a new file gets those the umask leaves;
// - a file that may not be written (read-only, or in a folder that is) stays untouched, as
//   does anything that is not a regular file;
// - on any failure the temporary file is removed, the file is left byte for byte as it was,
//   false is returned and reason (when given) says what failed, as the system words it;
// - a temporary file is named base.PID.XXXXXX.tmp after the writing process; one that a
//   killed writer left behind is removed by the next replace of the same file.
//
// A file with more than one name (a hard link) gets a new file under the name written; its
// other names keep the old content. Nothing is ever written in place.
bool ReplaceFile(std::string_view path, std::string_view content, std::string* reason = nullptr);

// A write beyond the process's file-size limit then fails with an error, which is reported
// like any other, instead of ending the program with SIGXFSZ. Programs call it at start.
void IgnoreFileSizeSignal();

} // namespace platform
