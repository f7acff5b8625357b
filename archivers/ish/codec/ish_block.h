// The check lines of a block and the repair of up to two lost lines.
//
// A block is an L x L byte matrix: rows 1..N are the data records without their CRC (column 0
// holds the line number), row L is the vertical check record. Every column 1..L-1 sums to 0
// (mod 256); every diagonal (c - r + 1) mod L, together with its stored diagonal check, too.
#pragma once
#include <cstdint>
#include <vector>

#include "ish_types.h"

namespace zv::ish {

class Block {
 public:
  explicit Block(const TypeInfo& t);

  int width() const { return L_; }
  // Row r (1..L), L bytes.
  uint8_t* row(int r) { return &cells_[size_t(r - 1) * size_t(L_)]; }
  const uint8_t* row(int r) const { return &cells_[size_t(r - 1) * size_t(L_)]; }

  // Rows expected+1..N hold their line number and zeros, as writers fill a short last block.
  void fillAbsentRows(int expected);
  // Computes row L (the vertical check) and the diagonal check record payload H[1..L-1].
  void computeChecks(uint8_t* vRecord, uint8_t* hRecord) const;

  // How the writer summed the diagonals. Standard: every row, V row included.
  // VOffDiagonals: the V row's data bytes left out. AbsentRowsZero: rows missing at the end of
  // a short last block left out entirely.
  enum class Variant { Standard, VOffDiagonals, AbsentRowsZero };

  // Rebuilds the rows marked missing (1..N, L; at most two). `hRecord` may be null when the
  // diagonal check line was lost. False when the block cannot be rebuilt.
  bool repair(const std::vector<int>& missing, const uint8_t* hRecord, int expected,
              Variant variant);

 private:
  bool onDiagonals(int r, int c, int expected, Variant v) const;

  const TypeInfo& t_;
  int L_;
  std::vector<uint8_t> cells_;
};

}  // namespace zv::ish
