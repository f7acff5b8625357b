// Failures inside the LZH library carry the result number the caller receives and a line of
// text for the output buffer. Thrown inside the library, caught at the C entry points.
#pragma once
#include <stdexcept>
#include <string>

#include "zorvex/archiver_api.h"

namespace zv::lzh {

class LzhError : public std::runtime_error {
 public:
  LzhError(int code, const std::string& text) : std::runtime_error(text), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

[[noreturn]] inline void fail(int code, const std::string& text) { throw LzhError(code, text); }

// The same failure, its text naming `name` (a member or file) unless it already does.
inline LzhError naming(const LzhError& e, const std::string& name) {
  std::string text = e.what();
  if (name.empty() || text.find(name) != std::string::npos) return e;
  return LzhError(e.code(), text + ": " + name);
}

}  // namespace zv::lzh
