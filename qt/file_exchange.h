// Files exchanged with other programs by drag and drop and through the clipboard: the
// program's paths turned into what file managers offer (file URIs, and the GNOME family's
// copied-files list), and back.
#pragma once
#include <string>
#include <vector>

class QMimeData;

namespace zv::qt {

// A new MIME object offering the files as a copy; the caller owns it.
QMimeData* filesMimeData(const std::vector<std::string>& paths);
// Adds the files to an existing MIME object.
void addFiles(QMimeData& mime, const std::vector<std::string>& paths);
// The local files the MIME data carries, as program paths (other URIs are left out).
std::vector<std::string> filesIn(const QMimeData* mime);
// Whether the MIME data carries at least one local file.
bool carriesFiles(const QMimeData* mime);

}  // namespace zv::qt
