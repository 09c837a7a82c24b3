// The heap blocks behind CTextBuffer. Each block begins with room for a
// framework string's header (CStringData), and the buffer's content
// follows it. The string forwarder fills in that header and hands the
// content to a sink as a CString in place, so an event costs no copy.
#pragma once

#include <afx.h>

namespace text_block {

const int kHeaderRoom = static_cast<int>(sizeof(CStringData));
// Every block has at least this many bytes after the header, whatever its
// capacity, so that a short content can be searched in one read.
const int kMinReadable = 16;

inline CStringData* HeaderOf(char* pContent) { return reinterpret_cast<CStringData*>(pContent) - 1; }

// Resizes the block of pContent (a block's content, or null for none) to
// hold nContent bytes (at least 1: the content and its spare byte), keeping
// what fits; the header tells the capacity. Returns the new
// content, or null (the old block untouched) when there is no memory.
char* Resize(char* pContent, int nContent);
// Frees the block of pContent (null: nothing).
void Free(char* pContent);

}  // namespace text_block
