// Chain of raw blocks from which the collections carve their nodes. Each
// block holds nMax elements after an 8-byte-aligned header; the whole chain
// is released at once.
#pragma once

#include "afxver.h"

struct alignas(8) CPlex {
  CPlex* pNext;

  void* data() { return this + 1; }

  // Allocates a block for nMax elements of cbElement bytes and links it at
  // the head of the chain pHead.
  static CPlex* Create(CPlex*& pHead, int nMax, size_t cbElement);

  // Frees this block and every block after it; safe on NULL.
  static void FreeDataChain(CPlex* pHead);
};
