#include "ish_block.h"

namespace zv::ish {

Block::Block(const TypeInfo& t) : t_(t), L_(t.width), cells_(size_t(t.width) * size_t(t.width)) {}

void Block::fillAbsentRows(int expected) {
  for (int r = expected + 1; r <= t_.payload; ++r) {
    uint8_t* p = row(r);
    p[0] = uint8_t(r);
    for (int c = 1; c < L_; ++c) p[c] = 0;
  }
}

void Block::computeChecks(uint8_t* v, uint8_t* h) const {
  const int N = t_.payload;
  v[0] = uint8_t(L_);
  for (int c = 1; c < L_; ++c) {
    unsigned s = 0;
    for (int r = 1; r <= N; ++r) s += row(r)[c];
    v[c] = uint8_t(0u - s);
  }
  std::vector<unsigned> diag(size_t(L_), 0);
  for (int r = 1; r <= L_; ++r) {
    const uint8_t* p = r == L_ ? v : row(r);
    // Column c lies on diagonal (c - r + 1) mod L.
    int g = (1 - r) % L_;
    if (g < 0) g += L_;
    for (int c = 0; c < L_; ++c) {
      diag[size_t(g)] += p[c];
      if (++g == L_) g = 0;
    }
  }
  h[0] = uint8_t(t_.record);
  for (int g = 0; g + 1 < L_; ++g) h[g + 1] = uint8_t(0u - diag[size_t(g)]);
}

bool Block::onDiagonals(int r, int c, int expected, Variant v) const {
  if (v == Variant::VOffDiagonals && r == L_) return c == 0;
  if (v == Variant::AbsentRowsZero && r > expected && r < L_) return false;
  return true;
}

bool Block::repair(const std::vector<int>& missing, const uint8_t* h, int expected, Variant v) {
  const int L = L_;
  if (missing.empty()) return true;
  if (missing.size() > 2) return false;
  auto isMissing = [&](int r) {
    for (int m : missing)
      if (m == r) return true;
    return false;
  };
  // Column sums over the rows that arrived.
  std::vector<unsigned> col(size_t(L), 0);
  for (int r = 1; r <= L; ++r) {
    if (isMissing(r)) continue;
    const uint8_t* p = row(r);
    for (int c = 0; c < L; ++c) col[size_t(c)] += p[c];
  }
  if (missing.size() == 1) {
    int e = missing[0];
    if (e == L) return true;  // only the vertical check is gone; data complete
    if (isMissing(L)) return false;
    uint8_t* p = row(e);
    p[0] = uint8_t(e);
    for (int c = 1; c < L; ++c) p[c] = uint8_t(0u - col[size_t(c)]);
    return true;
  }
  if (!h) return false;
  int e1 = missing[0] < missing[1] ? missing[0] : missing[1];
  int e2 = missing[0] < missing[1] ? missing[1] : missing[0];
  if (v == Variant::VOffDiagonals && e2 == L) return false;
  if (v == Variant::AbsentRowsZero && expected >= t_.payload) return false;  // same as Standard

  // Diagonal checks; the last one is not stored and follows from the total of all cells on
  // the diagonals: line numbers in column 0, and (VOffDiagonals) the V row's data bytes.
  std::vector<unsigned> D(size_t(L), 0);
  unsigned known = 0;
  for (int g = 0; g + 1 < L; ++g) known += D[size_t(g)] = h[g + 1];
  unsigned total = 0;
  for (int r = 1; r <= L; ++r)
    if (onDiagonals(r, 0, expected, v)) total += unsigned(r == L ? L : r);
  if (v == Variant::VOffDiagonals) {
    unsigned vsum = 0;
    for (int c = 1; c < L; ++c) vsum += row(L)[c];
    total -= vsum;  // data cells of columns 1..L-1 sum to minus the V row
  }
  D[size_t(L - 1)] = (0u - total) - known;

  std::vector<unsigned> diag(size_t(L), 0);
  for (int r = 1; r <= L; ++r) {
    if (r == e1 || r == e2) continue;
    const uint8_t* p = row(r);
    for (int c = 0; c < L; ++c) {
      if (!onDiagonals(r, c, expected, v)) continue;
      int g = ((c - r + 1) % L + L) % L;
      diag[size_t(g)] += p[c];
    }
  }
  uint8_t* a = row(e1);
  uint8_t* b = row(e2);
  a[0] = uint8_t(e1);
  b[0] = uint8_t(e2 == L ? L : e2);
  // Walk: the diagonal through (e1, x) meets row e2 at x'; solve that cell from the diagonal,
  // then (e1, x') from its column. L is prime, so the walk meets every column once.
  int x = 0;
  for (int step = 0; step + 1 < L; ++step) {
    int g = ((x - e1 + 1) % L + L) % L;
    int x2 = (x + e2 - e1) % L;
    unsigned s = D[size_t(g)] + diag[size_t(g)];
    if (onDiagonals(e1, x, expected, v)) s += a[x];
    b[x2] = uint8_t(0u - s);
    a[x2] = uint8_t(0u - (col[size_t(x2)] + b[x2]));
    x = x2;
  }
  return true;
}

}  // namespace zv::ish
