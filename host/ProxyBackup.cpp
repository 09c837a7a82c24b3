#include "ProxyBackup.h"

#include <stdio.h>
#include <string.h>

#include "FileProblem.h"
#include "HostCommand.h"
#include "inet/CProxySettings.h"

namespace {

const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kConnectionsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
const char kHeader[] = "[ldhost proxy settings]";
const char kAbsent[] = "absent";

// The text after "NAME=" on a line of lines, or false when no line starts so.
bool FindLine(const CString& lines, const char* name, CString& rest) {
  const CString start = CString(name) + "=";
  for (int at = 0; at < lines.GetLength();) {
    int end = lines.Find('\n', at);
    if (end < 0) end = lines.GetLength();
    CString line = lines.Mid(at, end - at);
    if (!line.IsEmpty() && line[line.GetLength() - 1] == '\r') line = line.Left(line.GetLength() - 1);
    if (line.Left(start.GetLength()) == start) {
      rest = line.Mid(start.GetLength());
      return true;
    }
    at = end + 1;
  }
  return false;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void ProxyBackup::Take() {
  Read(kInternetSettingsKey, "ProxyEnable", m_enable);
  Read(kInternetSettingsKey, "ProxyServer", m_server);
  m_connection = CProxySettings::GetModemProfile();
  m_connectionValue.present = false;
  if (!m_connection.IsEmpty()) Read(kConnectionsKey, m_connection, m_connectionValue);
}

bool ProxyBackup::Read(const char* keyPath, const char* name, Value& value) {
  value.present = false;
  value.type = REG_NONE;
  value.bytes.Empty();
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, name, NULL, &value.type, NULL, &size);
  if (result == ERROR_SUCCESS) {
    // The value may grow between the two calls: ask again with its new size.
    do {
      DWORD room = size;
      result = RegQueryValueExA(key, name, NULL, &value.type,
                                reinterpret_cast<BYTE*>(value.bytes.GetBuffer(static_cast<int>(room))), &size);
      value.bytes.ReleaseBuffer(result == ERROR_SUCCESS ? static_cast<int>(size) : 0);
    } while (result == ERROR_MORE_DATA);
  }
  RegCloseKey(key);
  value.present = result == ERROR_SUCCESS;
  return value.present;
}

bool ProxyBackup::Write(const char* keyPath, const char* name, const Value& value, CString& why) {
  HKEY key = NULL;
  LONG result;
  if (!value.present) {
    result = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_FILE_NOT_FOUND) return true;  // no key, so no value either
    if (result == ERROR_SUCCESS) {
      result = RegDeleteValueA(key, name);
      if (result == ERROR_FILE_NOT_FOUND) result = ERROR_SUCCESS;
      RegCloseKey(key);
    }
  } else {
    result = RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
    if (result == ERROR_SUCCESS) {
      result = RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(value.bytes)),
                              static_cast<DWORD>(value.bytes.GetLength()));
      RegCloseKey(key);
    }
  }
  if (result == ERROR_SUCCESS) return true;
  why = CString(value.present ? "cannot write " : "cannot remove ") + name + " of HKEY_CURRENT_USER\\" + keyPath +
        ": " + SystemMessage(static_cast<DWORD>(result));
  return false;
}

CString ProxyBackup::Encode(const Value& value) {
  if (!value.present) return kAbsent;
  CString text;
  text.Format("%lu ", static_cast<unsigned long>(value.type));
  for (int i = 0; i < value.bytes.GetLength(); ++i) {
    char hex[3];
    snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(value.bytes[i]));
    text += hex;
  }
  return text;
}

bool ProxyBackup::Decode(const CString& text, Value& value) {
  value.bytes.Empty();
  value.type = REG_NONE;
  value.present = text != kAbsent;
  if (!value.present) return true;
  const int space = text.Find(' ');
  if (space <= 0 || (text.GetLength() - space - 1) % 2 != 0) return false;
  DWORD type = 0;
  for (int i = 0; i < space; ++i) {
    if (text[i] < '0' || text[i] > '9' || type > 0x0FFFFFFF) return false;
    type = type * 10 + static_cast<DWORD>(text[i] - '0');
  }
  value.type = type;
  for (int i = space + 1; i < text.GetLength(); i += 2) {
    const int high = HexDigit(text[i]);
    const int low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    const char byte = static_cast<char>(high * 16 + low);
    AppendBytes(value.bytes, &byte, 1);
  }
  return true;
}

bool ProxyBackup::Save(const char* path, CString& why) const {
  FILE* file = fopen(path, "w");
  if (file == NULL) {
    why = WhyNotWritable(path);
    if (why.IsEmpty()) why = "it cannot be opened for writing";
    return false;
  }
  fprintf(file, "%s\n", kHeader);
  fprintf(file, "ProxyEnable=%s\n", static_cast<LPCSTR>(Encode(m_enable)));
  fprintf(file, "ProxyServer=%s\n", static_cast<LPCSTR>(Encode(m_server)));
  if (!m_connection.IsEmpty()) {
    fprintf(file, "Connection=%s\n", static_cast<LPCSTR>(m_connection));
    fprintf(file, "ConnectionValue=%s\n", static_cast<LPCSTR>(Encode(m_connectionValue)));
  }
  const bool written = !ferror(file);
  if (fclose(file) != 0 || !written) {
    why = "it could not be written whole";
    return false;
  }
  return true;
}

bool ProxyBackup::Load(const char* path, CString& why) {
  CString text;
  if (!ReadWholeFile(path, text, &why)) return false;
  CString enable, server, connectionValue;
  if (text.Left(static_cast<int>(strlen(kHeader))) != kHeader || !FindLine(text, "ProxyEnable", enable) ||
      !FindLine(text, "ProxyServer", server) || !Decode(enable, m_enable) || !Decode(server, m_server)) {
    why = "it is not a file that 'ldhost proxy save' wrote";
    return false;
  }
  m_connectionValue.present = false;
  if (!FindLine(text, "Connection", m_connection)) {
    m_connection.Empty();
  } else if (m_connection.IsEmpty() || !FindLine(text, "ConnectionValue", connectionValue) ||
             !Decode(connectionValue, m_connectionValue)) {
    why = "it is not a file that 'ldhost proxy save' wrote (its connection lines are damaged)";
    return false;
  }
  return true;
}

bool ProxyBackup::Restore(CString& why) const {
  return Write(kInternetSettingsKey, "ProxyEnable", m_enable, why) &&
         Write(kInternetSettingsKey, "ProxyServer", m_server, why) &&
         (m_connection.IsEmpty() || Write(kConnectionsKey, m_connection, m_connectionValue, why));
}

void ProxyBackup::DescribeValue(FILE* out, const char* label, const Value& value) {
  if (!value.present) {
    fprintf(out, "%s: absent\n", label);
  } else if (value.type == REG_DWORD && value.bytes.GetLength() == 4) {
    DWORD number;
    memcpy(&number, static_cast<LPCSTR>(value.bytes), sizeof number);
    fprintf(out, "%s: %lu\n", label, static_cast<unsigned long>(number));
  } else if (value.type == REG_SZ) {
    fprintf(out, "%s: \"%s\"\n", label, static_cast<LPCSTR>(value.bytes));
  } else {
    fprintf(out, "%s: %d bytes%s\n", label, value.bytes.GetLength(), value.type == REG_BINARY ? " (binary)" : "");
  }
}

void ProxyBackup::Describe(FILE* out) const {
  DescribeValue(out, "ProxyEnable", m_enable);
  DescribeValue(out, "ProxyServer", m_server);
  if (m_connection.IsEmpty())
    fprintf(out, "no dial-up connection named\n");
  else
    DescribeValue(out, CString("connection '") + m_connection + "'", m_connectionValue);
}
