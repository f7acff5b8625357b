// What one window may ask of a window of another area. Each window class implements its port;
// the others find it through the registry and never touch its controls, so a renamed control
// or a changed layout stays inside its own window.
#pragma once
#include <string>
#include <vector>

#include "core/forms/registry.h"

namespace zv {

// The window `name` as port P when it is open; nothing when it is not open (or is no P).
template <class P>
P* openPort(const FormRegistry& forms, const std::string& name) {
  return dynamic_cast<P*>(forms.find(name));
}

// The window `name` as port P, created and loaded when it does not exist yet.
template <class P>
P& port(FormRegistry& forms, const std::string& name) {
  return dynamic_cast<P&>(forms.get(name));
}

// The file utility ("DeComp4"), as the windows that finish a run leave it.
class FileUtilityPort {
 public:
  // The file list reads its folder afresh.
  virtual void refreshFiles() = 0;
  // The panes show `folder` on `drive`.
  virtual void pointAt(const std::string& drive, const std::string& folder) = 0;
  // The file list shows only names matching `pattern` (read afresh by refreshFiles).
  virtual void filterFiles(const std::string& pattern) = 0;
  virtual std::string filePattern() const = 0;

 protected:
  ~FileUtilityPort() = default;
};

// The file selection window ("Comp1") as the option and file information windows see it.
class FileSelectionPort {
 public:
  // Lamps, instruction and lists follow the folder mode of the options.
  virtual void showFolderMode() = 0;
  // The instruction and the file list while the options window changes the mode.
  virtual void showFolderInstruction(bool folders) = 0;
  // The file list and the list of names follow `pattern`.
  virtual void filterFiles(const std::string& pattern) = 0;
  virtual std::string filePattern() const = 0;
  // Files from another program (program paths) become the chosen files, as if dropped on the
  // file list.
  virtual void chooseFiles(const std::vector<std::string>& paths) = 0;

 protected:
  ~FileSelectionPort() = default;
};

// The text viewer ("Viewer").
class TextViewerPort {
 public:
  virtual void showText(const std::string& text) = 0;

 protected:
  ~TextViewerPort() = default;
};

// The picture viewer ("PicView").
class PictureViewerPort {
 public:
  // Loads the picture file, sizes the window to it and shows it.
  virtual void showPicture(const std::string& path) = 0;

 protected:
  ~PictureViewerPort() = default;
};

// The file information window ("frmFP").
class FileInfoPort {
 public:
  // Shows the path, time and size of the file.
  virtual void showFile(const std::string& path) = 0;

 protected:
  ~FileInfoPort() = default;
};

// The report of an archive test or rescue ("frmReport").
class ArchiveReportPort {
 public:
  // Shows the report in Shared::Report.
  virtual void refresh() = 0;

 protected:
  ~ArchiveReportPort() = default;
};

// The name dialog ("Dialog").
class NewFolderPort {
 public:
  // Takes its caption, prompt and shown path from the request in Shared::NewFolder.
  virtual void present() = 0;
  // The name typed so far.
  virtual std::string typedName() const = 0;
  // The full target path the dialog shows.
  virtual void showPath(const std::string& path) = 0;

 protected:
  ~NewFolderPort() = default;
};

}  // namespace zv
