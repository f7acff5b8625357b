#include "lh2_test_writer.h"

#include <cstdint>
#include <map>
#include <stdexcept>
#include <vector>

namespace lzhtest {
namespace {

// Slots are ordered by non-increasing weight from the root (slot 0); an inner slot's children
// are child (bit 0) and child - 1 (bit 1); a leaf holds ~symbol.
class Tree {
 public:
  Tree(int maxLeaves, int leaves, bool rootCounts)
      : weight_(maxLeaves * 2),
        child_(maxLeaves * 2),
        parent_(maxLeaves * 2),
        leaf_(maxLeaves),
        size_(leaves * 2 - 1),
        rootCounts_(rootCounts) {
    int node = size_ - 1;
    for (int code = 0; code < leaves; ++code, --node) {
      weight_[node] = 1;
      child_[node] = ~code;
      leaf_[code] = node;
    }
    for (int c = size_ - 1; node >= 0 && node != c; c -= 2, --node) {
      weight_[node] = weight_[c] + weight_[c - 1];
      child_[node] = c;
      parent_[c] = parent_[c - 1] = node;
    }
  }

  // Bits from the root down to the symbol's leaf.
  std::vector<int> path(int code) const {
    std::vector<int> bits;
    for (int n = leaf_[code]; n != 0; n = parent_[n]) bits.insert(bits.begin(), n & 1);
    return bits;
  }

  void update(int code) {
    if (size_ == 1) {
      if (rootCounts_) ++weight_[0];
      return;
    }
    for (int node = leaf_[code]; node != 0;) {
      int leader = node;
      while (leader - 1 > 0 && weight_[leader - 1] == weight_[node]) --leader;
      if (leader != node) swap(node, leader);
      ++weight_[leader];
      node = parent_[leader];
    }
    ++weight_[0];
    if (weight_[0] >= 0x8000) throw std::runtime_error("input too long for this writer");
  }

  // Splits the last slot into itself and a new zero-weight leaf, then counts the new symbol.
  void addLeaf(int code) {
    const int last = size_ - 1, large = size_, small = size_ + 1;
    child_[large] = child_[last];
    child_[small] = ~code;
    child_[last] = small;
    weight_[large] = weight_[last];
    weight_[small] = 0;
    leaf_[~child_[large]] = large;
    leaf_[code] = small;
    parent_[large] = parent_[small] = last;
    size_ = small + 1;
    update(code);
  }

 private:
  void relink(int slot) {
    if (child_[slot] < 0)
      leaf_[~child_[slot]] = slot;
    else
      parent_[child_[slot]] = parent_[child_[slot] - 1] = slot;
  }
  void swap(int a, int b) {
    std::swap(child_[a], child_[b]);
    std::swap(weight_[a], weight_[b]);
    relink(a);
    relink(b);
  }

  std::vector<int> weight_, child_, parent_, leaf_;
  int size_;
  bool rootCounts_;
};

struct BitWriter {
  std::string out;
  int used = 0;
  void bit(int b) {
    if (used % 8 == 0) out += '\0';
    if (b) out.back() = static_cast<char>(out.back() | (0x80 >> (used % 8)));
    ++used;
  }
  void bits(unsigned v, int n) {
    for (int i = n - 1; i >= 0; --i) bit((v >> i) & 1);
  }
};

}  // namespace

std::string lh2Encode(const std::string& in, bool rootCounts) {
  const int kSymbols = 286, kLong = kSymbols - 1;
  Tree c(kSymbols, kSymbols, rootCounts), p(128, 1, rootCounts);
  BitWriter w;
  std::map<std::string, size_t> last;  // last position of each 3-byte string
  uint64_t nextcount = 64;
  size_t i = 0;
  auto remember = [&](size_t at) {
    if (at + 3 <= in.size()) last[in.substr(at, 3)] = at;
  };
  while (i < in.size()) {
    size_t len = 0, dist = 0;
    auto f = i + 3 <= in.size() ? last.find(in.substr(i, 3)) : last.end();
    if (f != last.end() && i - f->second <= 8192) {
      dist = i - f->second;
      while (len < 256 && i + len < in.size() && in[f->second + len] == in[i + len]) ++len;
    }
    if (len < 3) {
      const int sym = static_cast<unsigned char>(in[i]);
      for (int b : c.path(sym)) w.bit(b);
      c.update(sym);
      remember(i++);
      continue;
    }
    const int code = static_cast<int>(len) + 253;
    const int sym = code >= kLong ? kLong : code;
    for (int b : c.path(sym)) w.bit(b);
    c.update(sym);
    if (sym == kLong) w.bits(static_cast<unsigned>(code - kLong), 8);
    while (i > nextcount) {
      p.addLeaf(static_cast<int>(nextcount / 64));
      nextcount += 64;
      if (nextcount >= 8192) nextcount = UINT64_MAX;
    }
    const unsigned pos = static_cast<unsigned>(dist - 1);
    for (int b : p.path(static_cast<int>(pos >> 6))) w.bit(b);
    p.update(static_cast<int>(pos >> 6));
    w.bits(pos & 63, 6);
    for (size_t k = 0; k < len; ++k) remember(i + k);
    i += len;
  }
  return w.out;
}

}  // namespace lzhtest
