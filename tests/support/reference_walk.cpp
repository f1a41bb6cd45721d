#include "support/reference_walk.h"

namespace {

constexpr int ORDER_MAX = 13;

}  // namespace

std::int32_t referenceDeterminant(const std::int32_t* matrix, std::vector<std::int32_t>* swaps) {
  const int n = matrix[0] % 100;
  if (n == 0) return 1;
  if (n < 0 || n > 12) return 0;
  if (n == 1) return matrix[1];

  // at[x]: the column at position x; place[c]: the position of column c;
  // heading[c]: +1 or -1, the way column c moves.
  int at[ORDER_MAX + 2];
  int place[ORDER_MAX + 1];
  int heading[ORDER_MAX + 1];
  for (int c = 1; c <= n; ++c) at[c] = place[c] = c, heading[c] = 1;

  // The identity is the walk's last permutation, and each step changes the
  // parity, so the first term is odd.
  std::uint32_t sum = 0;
  bool odd = true;
  for (bool closed = false; !closed;) {
    int moving = 0;
    for (int c = 1; c <= n && moving == 0; ++c) {
      const int next = place[c] + heading[c];
      if (next >= 1 && next <= n && at[next] > c) moving = c;
    }
    int k;  // positions k and k + 1 are swapped
    if (moving != 0) {
      k = heading[moving] > 0 ? place[moving] : place[moving] - 1;
      for (int c = 1; c < moving; ++c) heading[c] = -heading[c];
    } else {
      k = n - 1;
      closed = true;
    }
    const int left = at[k];
    at[k] = at[k + 1];
    at[k + 1] = left;
    place[at[k]] = k;
    place[at[k + 1]] = k + 1;
    if (swaps != nullptr) swaps->push_back(k);

    std::uint32_t term = 1;
    for (int row = 1; row <= n; ++row) {
      term *= static_cast<std::uint32_t>(matrix[(row - 1) * n + at[row]]);
    }
    sum = odd ? sum - term : sum + term;
    odd = !odd;
  }
  return static_cast<std::int32_t>(sum);
}

void referenceAdjoint(const std::int32_t* matrix, std::int32_t* adjoint) {
  const int n = matrix[0] % 100;
  std::int32_t minor[ORDER_MAX * ORDER_MAX + 1];
  minor[0] = (n - 1) * 101;
  adjoint[0] = n * 101;
  for (int r = 1; r <= n; ++r) {
    for (int c = 1; c <= n; ++c) {
      int m = 1;
      for (int row = 1; row <= n; ++row) {
        for (int column = 1; column <= n; ++column) {
          if (row != r && column != c) minor[m++] = matrix[(row - 1) * n + column];
        }
      }
      const std::uint32_t d = static_cast<std::uint32_t>(referenceDeterminant(minor));
      // The cofactor of (r, c) is the adjoint's entry (c, r).
      adjoint[(c - 1) * n + r] = static_cast<std::int32_t>((r + c) % 2 == 0 ? d : 0u - d);
    }
  }
}
