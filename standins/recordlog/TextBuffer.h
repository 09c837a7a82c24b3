// A growable run of bytes, always followed by a zero byte, for the program
// stand-ins, which are linked on their own without the framework.
#pragma once

class TextBuffer {
 public:
  TextBuffer();
  explicit TextBuffer(const char* text);
  ~TextBuffer();

  const char* Text() const { return m_data != 0 ? m_data : ""; }
  int Length() const { return m_length; }
  bool IsEmpty() const { return m_length == 0; }

  TextBuffer& Append(const char* bytes, int count);
  TextBuffer& Append(const char* text);
  TextBuffer& Append(const TextBuffer& text) { return Append(text.Text(), text.Length()); }
  // Appends text with "\\" for a backslash and "\r" and "\n" for line
  // breaks, so that it stays on one line.
  TextBuffer& AppendEscaped(const char* bytes, int count);
  TextBuffer& AppendEscaped(const char* text);

 private:
  char* m_data;
  int m_length;
  int m_capacity;

  TextBuffer(const TextBuffer&);
  TextBuffer& operator=(const TextBuffer&);
};
