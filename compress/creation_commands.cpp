#include "compress/creation_commands.h"

#include "platform/command_words.h"
#include "platform/winpath.h"

namespace zv::compress {

std::string lzhCommandLetter(const PackModeOption& packMode) {
  if (packMode.add()) return "a";
  if (packMode.move()) return "m";
  return "u";
}

std::string lzhFileCommand(const LzhOptions& options, const std::string& archivePath,
                           const std::string& sourceFolder, const std::string& name) {
  std::string switches = options.directoryMode.withFolders() ? " -d1" : "";
  if (!options.showProgress.yes()) switches += " -n1";
  return lzhCommandLetter(options.packMode) + switches + " " + winpath::quote(archivePath) + " " +
         winpath::quote(winpath::join(sourceFolder, name));
}

std::string lzhFolderCommand(const YesNo& showProgress, const std::string& archivePath,
                             const std::string& sourceFolder) {
  std::string folder = winpath::withTrailingSeparator(sourceFolder);
  std::string parent, tail;
  // The backslash before the last component: searched from the second-to-last character.
  size_t cut = folder.size() >= 2 ? folder.rfind('\\', folder.size() - 2) : std::string::npos;
  if (cut == std::string::npos || winpath::isDriveRoot(folder)) {
    parent = folder;  // a drive root: everything below it, relative to the root
  } else {
    parent = folder.substr(0, cut + 1);
    tail = folder.substr(cut + 1);
  }
  std::string source = winpath::quote(parent) + " " + winpath::quote(tail + "*.*");
  std::string command = showProgress.yes() ? "a -d1 " : "a -d1 -n1 ";
  return command + winpath::quote(archivePath) + " " + source;
}

std::string ishSwitches(IshCodeType type) {
  switch (type) {
    case IshCodeType::Internet:
      return "/s7 /ya";
    case IshCodeType::PcNetwork:
      return "/ss /ya";
    case IshCodeType::PcNetworkNoKana:
      return "/sn /ya";
  }
  return "/ss /ya";
}

std::string ishCommand(const std::string& sourceFolder, const std::string& name, IshCodeType type,
                       const std::string& archivePath, const std::string& destinationFolder) {
  return command_words::switchLinePath(winpath::join(sourceFolder, name)) + " " +
         ishSwitches(type) + " " + command_words::switchLinePath(archivePath) +
         " /f=" + command_words::switchLinePath(destinationFolder);
}

}  // namespace zv::compress
