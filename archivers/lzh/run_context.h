// What one Unlha call carries through its commands: the parsed command, the text output and
// the host's progress reports.
#pragma once
#include <cstdint>
#include <string>

#include "command_line.h"
#include "zorvex/archiver_api.h"

namespace zv::lzh {

// Text output of a run. By default collected and copied into the caller's buffer at the end;
// once streamTo() names that buffer, each line goes straight there, so a run naming 100 000
// members does not hold its text twice.
class OutputText {
 public:
  void line(const std::string& text);
  const std::string& text() const { return text_; }
  // Lines from now on are written into `buf` of `size` bytes as they come, while whole
  // lines fit; the first that does not fit ends the output (as copyTo would cut it).
  void streamTo(char* buf, uint32_t size);
  // Copies into `buf` of `size` bytes: cut at the last line end that fits, NUL-terminated.
  void copyTo(char* buf, uint32_t size) const;

 private:
  std::string text_;
  char* sink_ = nullptr;
  uint32_t sinkSize_ = 0;
  size_t sinkUsed_ = 0;
  bool sinkFull_ = false;
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
