#include "run_context.h"

#include <algorithm>
#include <cstring>

#include "lzh_error.h"

namespace zv::lzh {
namespace {
ZvHost g_host{};
bool g_hasHost = false;
}  // namespace

void OutputText::line(const std::string& text) {
  if (!sink_) {
    text_ += text;
    text_ += '\n';
    return;
  }
  if (sinkFull_ || sinkUsed_ + text.size() + 1 > sinkSize_ - 1) {
    sinkFull_ = true;
    return;
  }
  std::memcpy(sink_ + sinkUsed_, text.data(), text.size());
  sinkUsed_ += text.size();
  sink_[sinkUsed_++] = '\n';
}

void OutputText::streamTo(char* buf, uint32_t size) {
  if (!buf || size == 0) return;
  sink_ = buf;
  sinkSize_ = size;
  sinkUsed_ = 0;
  sinkFull_ = false;
  buf[0] = '\0';
  // What came before goes first, cut as copyTo cuts it.
  std::string before;
  before.swap(text_);
  size_t start = 0;
  while (start < before.size()) {
    size_t lf = before.find('\n', start);
    line(before.substr(start, lf - start));
    start = lf + 1;
  }
}

void OutputText::copyTo(char* buf, uint32_t size) const {
  if (!buf || size == 0) return;
  if (buf == sink_) {
    buf[sinkUsed_] = '\0';
    return;
  }
  if (sink_) {
    size_t n = std::min<size_t>(sinkUsed_, size - 1);
    while (n > 0 && n < sinkUsed_ && sink_[n - 1] != '\n') --n;
    std::memmove(buf, sink_, n);
    buf[n] = '\0';
    return;
  }
  size_t n = text_.size();
  if (n > size - 1) {
    n = size - 1;
    size_t lf = text_.rfind('\n', n == 0 ? 0 : n - 1);
    n = (lf == std::string::npos || lf >= n) ? 0 : lf + 1;
  }
  std::memcpy(buf, text_.data(), n);
  buf[n] = '\0';
}

void setHost(const ZvHost* host) {
  if (host) {
    g_host = *host;
    g_hasHost = true;
  } else {
    g_host = ZvHost{};
    g_hasHost = false;
  }
}

const ZvHost* currentHost() { return g_hasHost ? &g_host : nullptr; }

bool RunContext::reportsProgress() const {
  return !cmd.noProgress && currentHost() && currentHost()->progress;
}

void RunContext::report(int state, const char* memberName) {
  if (!reportsProgress()) return;
  ZvProgress p{archiveText.c_str(), memberName, done, total, state};
  lastReported_ = done;
  if (currentHost()->progress(currentHost()->user, &p) != 0)
    fail(ZV_ERROR_USER_CANCEL, "中止しました");
}

void RunContext::begin() { report(ZV_PROGRESS_BEGIN, nullptr); }
void RunContext::member(const std::string& name) {
  current_ = name;
  report(ZV_PROGRESS_MEMBER, current_.c_str());
}
void RunContext::advance(uint64_t bytes) {
  done += bytes;
  if (done - lastReported_ >= (1u << 20)) report(ZV_PROGRESS_MEMBER, current_.c_str());
}
void RunContext::end() {
  // The work is done and in place by now: a cancel at this point changes nothing.
  try {
    report(ZV_PROGRESS_END, nullptr);
  } catch (const LzhError&) {
  }
}

int RunContext::decide(int kind, const std::string& path, char* answer, uint32_t answerSize,
                       int fallback) {
  const ZvHost* h = currentHost();
  if (!h || !h->decide) return fallback;
  ZvDecision d{kind, path.c_str(), answer, answerSize};
  return h->decide(h->user, &d);
}

}  // namespace zv::lzh
