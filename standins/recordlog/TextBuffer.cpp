#include "TextBuffer.h"

#include <stdlib.h>
#include <string.h>

TextBuffer::TextBuffer() : m_data(0), m_length(0), m_capacity(0) {}

TextBuffer::TextBuffer(const char* text) : m_data(0), m_length(0), m_capacity(0) { Append(text); }

TextBuffer::~TextBuffer() { free(m_data); }

TextBuffer& TextBuffer::Append(const char* bytes, int count) {
  if (count <= 0) return *this;
  if (m_length + count + 1 > m_capacity) {
    // Doubling keeps many small appends from copying the whole text each time.
    int capacity = m_capacity > 0 ? m_capacity : 64;
    while (capacity < m_length + count + 1) capacity *= 2;
    char* data = static_cast<char*>(realloc(m_data, capacity));
    if (data == 0) abort();  // a stand-in has nothing sensible to record without memory
    m_data = data;
    m_capacity = capacity;
  }
  memcpy(m_data + m_length, bytes, count);
  m_length += count;
  m_data[m_length] = '\0';
  return *this;
}

TextBuffer& TextBuffer::Append(const char* text) { return Append(text, static_cast<int>(strlen(text))); }

TextBuffer& TextBuffer::AppendEscaped(const char* bytes, int count) {
  for (int i = 0; i < count; ++i) {
    if (bytes[i] == '\\')
      Append("\\\\", 2);
    else if (bytes[i] == '\r')
      Append("\\r", 2);
    else if (bytes[i] == '\n')
      Append("\\n", 2);
    else
      Append(bytes + i, 1);
  }
  return *this;
}

TextBuffer& TextBuffer::AppendEscaped(const char* text) { return AppendEscaped(text, static_cast<int>(strlen(text))); }
