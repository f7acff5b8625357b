// The archive selection window as the start-up sees it: the start with an archive argument
// opens that archive there.
#pragma once

namespace zv {

class CommandLineOpener {
 public:
  // Lists (or restores) the archive named by the command line.
  virtual void commandLineOpen() = 0;

 protected:
  ~CommandLineOpener() = default;
};

}  // namespace zv
