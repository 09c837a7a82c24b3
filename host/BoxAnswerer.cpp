#include "BoxAnswerer.h"

#include <afx.h>
#include <stdio.h>
#include <string.h>

namespace {

const DWORD kPollIntervalMs = 10;
const int kUnnumberedId = 0xFFFF;

struct NamedButton {
  const char* name;
  int id;
};

const NamedButton kButtons[] = {
    {"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},   {"no", IDNO},
    {"retry", IDRETRY}, {"ignore", IDIGNORE}, {"abort", IDABORT},
};

CString WindowText(HWND window) {
  const int room = GetWindowTextLengthA(window) + 1;
  CString text;
  const int length = GetWindowTextA(window, text.GetBuffer(room), room);
  text.ReleaseBuffer(length > 0 ? length : 0);
  return text;
}

bool IsClass(HWND window, const char* name) {
  char className[16];
  return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpiA(className, name) == 0;
}

// A top-level (not WS_CHILD) "#32770" window.
bool IsBoxWindow(HWND window) {
  return IsClass(window, "#32770") && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
}

// What a box shows and which button is asked for, gathered from its children.
struct BoxReading {
  int wantedButton;
  bool hasWantedButton;  // a visible push button with that id
  bool hasText;
  CString text;  // the first unnumbered static that is not an icon
};

BOOL CALLBACK ReadChild(HWND child, LPARAM param) {
  BoxReading* reading = reinterpret_cast<BoxReading*>(param);
  const DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
  const int id = GetDlgCtrlID(child);
  if (IsClass(child, "Button")) {
    const DWORD kind = style & BS_TYPEMASK;
    if (id == reading->wantedButton && (style & WS_VISIBLE) && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON))
      reading->hasWantedButton = true;
  } else if (!reading->hasText && IsClass(child, "Static") && (id == kUnnumberedId || id == -1) &&
             (style & SS_TYPEMASK) != SS_ICON) {
    reading->hasText = true;
    reading->text = WindowText(child);
  }
  return TRUE;
}

// The text on one line: each line break (CR LF, LF or CR) becomes " / ".
CString OneLine(const CString& text) {
  CString line;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.GetLength() && text[i + 1] == '\n') ++i;
      line += " / ";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

int BoxAnswerer::ButtonFromName(const char* name) {
  for (size_t i = 0; i < sizeof kButtons / sizeof kButtons[0]; ++i)
    if (strcmp(kButtons[i].name, name) == 0) return kButtons[i].id;
  return 0;
}

const char* BoxAnswerer::ButtonNames() { return "ok, cancel, yes, no, retry, ignore, abort"; }

BoxAnswerer::BoxAnswerer(int buttonId)
    : m_buttonId(buttonId),
      m_answeredCount(0),
      m_stopEvent(CreateEventA(NULL, TRUE, FALSE, NULL)),
      m_thread(CreateThread(NULL, 0, Watch, this, 0, NULL)) {}

BoxAnswerer::~BoxAnswerer() {
  SetEvent(m_stopEvent);
  if (m_thread) {
    // The watcher may be reading a box whose thread waits on a message sent
    // to this thread (a box owned by one of this thread's windows): serve
    // sent messages while waiting, leave posted ones in the queue.
    while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(m_thread);
  }
  CloseHandle(m_stopEvent);
}

DWORD WINAPI BoxAnswerer::Watch(LPVOID self) {
  BoxAnswerer* answerer = static_cast<BoxAnswerer*>(self);
  while (WaitForSingleObject(answerer->m_stopEvent, kPollIntervalMs) == WAIT_TIMEOUT)
    EnumWindows(OnTopLevelWindow, reinterpret_cast<LPARAM>(answerer));
  return 0;
}

BOOL CALLBACK BoxAnswerer::OnTopLevelWindow(HWND window, LPARAM self) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == GetCurrentProcessId() && IsBoxWindow(window) && IsWindowVisible(window))
    reinterpret_cast<BoxAnswerer*>(self)->OnBox(window);
  return TRUE;
}

bool BoxAnswerer::FirstSight(HWND box) {
  int kept = 0;
  for (int i = 0; i < m_answeredCount; ++i)
    if (IsWindow(m_answered[i])) m_answered[kept++] = m_answered[i];
  m_answeredCount = kept;
  for (int i = 0; i < m_answeredCount; ++i)
    if (m_answered[i] == box) return false;
  if (m_answeredCount < kMaxOpenBoxes) m_answered[m_answeredCount++] = box;
  return true;
}

// On the watcher's thread; sees an open box on every poll until it closes.
void BoxAnswerer::OnBox(HWND box) {
  if (!FirstSight(box)) return;
  BoxReading reading;
  reading.wantedButton = m_buttonId;
  reading.hasWantedButton = false;
  reading.hasText = false;
  const CString caption = WindowText(box);
  EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&reading));
  printf("box: %s: %s\n", static_cast<LPCSTR>(OneLine(caption)), static_cast<LPCSTR>(OneLine(reading.text)));
  fflush(stdout);
  if (reading.hasWantedButton) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, m_buttonId)));
  } else {
    PostMessageA(box, WM_CLOSE, 0, 0);
  }
}
