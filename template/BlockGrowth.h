// Sizes of the expander's growable text blocks (the output text and the
// pending line). Both hold zero-terminated text in blocks from the framework
// allocator; a block grows by allocating a larger one and copying.
#pragma once

#include <afx.h>

const UINT kBlockGrowthStep = 1024;
const UINT kSteadyGrowthLimit = 64 * 1024;
const UINT kMaxBlockSize = 0xFFFFFFFFu;

// The size that a block of nSize bytes, holding nLength bytes of text and
// its terminator, needs before nAdd more bytes are appended: nSize when they
// fit. Otherwise the block grows by 1,024 bytes (for a text, by the larger of
// 1,024 and its length) while it is below 64 KiB, and beyond that by at least
// half its size, so that appending stays proportional to the output.
// Returns 0 when the size needed cannot be represented.
inline UINT GrownBlockSize(UINT nSize, UINT nLength, UINT nAdd, bool bSingleByte) {
  const unsigned long long nNeeded = static_cast<unsigned long long>(nLength) + nAdd + 1;
  if (nNeeded <= nSize) return nSize;
  if (nNeeded > kMaxBlockSize) return 0;
  unsigned long long nStep = kBlockGrowthStep;
  if (!bSingleByte && nAdd > nStep) nStep = nAdd;
  if (nSize >= kSteadyGrowthLimit && nSize / 2 > nStep) nStep = nSize / 2;
  unsigned long long nNewSize = nSize + nStep;
  if (nNewSize < nNeeded) nNewSize = nNeeded;
  if (nNewSize > kMaxBlockSize) nNewSize = kMaxBlockSize;
  return static_cast<UINT>(nNewSize);
}
