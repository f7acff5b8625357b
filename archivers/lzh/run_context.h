// What one Unlha call carries through its commands: the parsed command, the text output and
// the host's progress reports.
#pragma once
#include <cstdint>
#include <string>

#include "command_line.h"
#include "zorvex/archiver_api.h"

namespace zv::lzh {

// Text output collected during a run; copied into the caller's buffer at the end.
class OutputText {
 public:
  void line(const std::string& text) {
    text_ += text;
    text_ += '\n';
  }
  const std::string& text() const { return text_; }
  // Copies into `buf` of `size` bytes: cut at the last line end that fits, NUL-terminated.
  void copyTo(char* buf, uint32_t size) const;

 private:
  std::string text_;
};

void setHost(const ZvHost* host);
const ZvHost* currentHost();

class RunContext {
 public:
  RunContext(const Command& cmd, std::string archiveText)
      : cmd(cmd), archiveText(std::move(archiveText)) {}

  const Command& cmd;
  std::string archiveText;  // the archive as the caller wrote it (quotes removed)
  OutputText out;
  uint64_t total = 0;  // bytes the run will process, when known
  uint64_t done = 0;

  bool reportsProgress() const;
  // Throws LzhError(ZV_ERROR_USER_CANCEL) when the host cancels.
  void begin();
  void member(const std::string& name);
  void advance(uint64_t bytes);  // reports at most every 1 MiB
  void end();
  // Asks the host; returns `fallback` without a host callback.
  int decide(int kind, const std::string& path, char* answer, uint32_t answerSize, int fallback);

 private:
  void report(int state, const char* member);
  std::string current_;
  uint64_t lastReported_ = 0;
};

}  // namespace zv::lzh
