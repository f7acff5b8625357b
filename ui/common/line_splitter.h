// Hands out an archiver library's output buffer (text, a NUL, then whatever else the buffer
// held) line by line, so that a caller can rebuild it with CR LF line ends for a text box.
#pragma once
#include <cstddef>
#include <string>

namespace zv {

class GetLineStr {
 public:
  // Returned once the text is used up, and again for every later call.
  static constexpr const char* kEndMarker = "(End Of Buffer)";

  // Takes the text before the first NUL; a text without a NUL is rejected with runtime
  // error 5, since it cannot be a library buffer.
  void setTarget(const std::string& text);
  // Starts over from the first line.
  std::string getFirstLine();
  // The next line without its LF (a CR before the LF stays), or the end marker.
  std::string getNextLine();

  const std::string& buffer() const { return buffer_; }

 private:
  std::string buffer_;
  // 1-based index of the first character of the next line. Wider than the 16 bits a library
  // buffer would need, so that long listings are split completely too.
  std::size_t position_ = 1;
};

}  // namespace zv
