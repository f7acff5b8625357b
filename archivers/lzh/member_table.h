// The members of an archive held compactly: one fixed-size record per member and the decoded
// texts (path, comment, link target) in a shared pool, both in fixed blocks. A 100 000-member
// archive then costs a few megabytes, with no allocation per member and no block ever copied
// as the table grows. A Member is rebuilt on demand; the raw name fields it was decoded from
// (raw bytes, UTF-16 names, code page) are not kept, as nothing after decoding reads them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lzh_member.h"

namespace zv::lzh {

struct MemberRecord {
  uint64_t headerOffset = 0;  // the data follows the header: dataOffset = headerOffset + headerSize
  uint64_t packedSize = 0;
  uint64_t originalSize = 0;
  int64_t mtime = 0;
  uint32_t headerSize = 0;
  uint32_t text = 0;  // where the member's texts begin in the pool (block << 20 | offset)
  uint32_t dosDateTime = 0;
  uint16_t crc = 0;
  uint16_t unixMode = 0;
  char method[5] = {};
  uint8_t level = 0;
  uint8_t osId = 0;
  uint8_t dosAttribute = 0;
  uint8_t nameEncoding = 0;
  uint16_t flags = 0;

  enum : uint16_t {
    kHasCrc = 1,
    kHasUnixMode = 2,
    kAbsolute = 4,
    kFolder = 8,
    kSymlink = 16,
    kTruncated = 32,
    kComment = 64,      // a comment follows the path in the pool
    kLinkTarget = 128,  // a link target follows
    kOwnParts = 256,    // the components follow: they cannot be read back from the path
    kNameMarked = 512,  // the header said how the name is written
    kNameEscaped = 1024,
    kMatchPath = 2048,  // the path before composition follows
  };
  bool is(uint16_t f) const { return (flags & f) != 0; }
  uint64_t dataOffset() const { return headerOffset + headerSize; }
};

class MemberTable {
 public:
  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }

  void push_back(const Member& m);
  // The member as the header reader gave it, apart from the raw name fields.
  Member operator[](size_t i) const;
  const MemberRecord& record(size_t i) const {
    return records_[i >> kRecordShift][i & (kRecordsPerBlock - 1)];
  }
  // The display path without building a Member.
  std::string_view path(size_t i) const;
  // The path before composition (NFC), the same as path(i) when composing changed nothing.
  std::string_view matchPath(size_t i) const;

  // Range-for over rebuilt members.
  class Iterator {
   public:
    Iterator(const MemberTable* t, size_t i) : t_(t), i_(i) {}
    Member operator*() const { return (*t_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator!=(const Iterator& o) const { return i_ != o.i_; }

   private:
    const MemberTable* t_;
    size_t i_;
  };
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, count_}; }

 private:
  static constexpr unsigned kRecordShift = 12;
  static constexpr size_t kRecordsPerBlock = size_t{1} << kRecordShift;
  static constexpr unsigned kTextShift = 20;
  static constexpr size_t kTextBlock = size_t{1} << kTextShift;

  const char* textAt(uint32_t text) const {
    return texts_[text >> kTextShift].data() + (text & (kTextBlock - 1));
  }
  uint32_t placeText(const std::string& bytes);

  std::vector<std::vector<MemberRecord>> records_;
  std::vector<std::string> texts_;
  size_t count_ = 0;
};

}  // namespace zv::lzh
