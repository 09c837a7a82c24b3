#include "BoxAnswerer.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "BoxWatcher.h"
#include "CapturedBox.h"

namespace {

struct NamedButton {
  const char* name;
  int id;
};

const NamedButton kButtons[] = {
    {"ok", IDOK},       {"cancel", IDCANCEL}, {"yes", IDYES},   {"no", IDNO},
    {"retry", IDRETRY}, {"ignore", IDIGNORE}, {"abort", IDABORT},
};

// The text on one line: each line break (CR LF, LF or CR) becomes " / ".
std::string OneLine(const std::string& text) {
  std::string line;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      line += " / ";
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace

int BoxAnswerer::ButtonFromName(const char* name) {
  for (const NamedButton& button : kButtons)
    if (strcmp(button.name, name) == 0) return button.id;
  return 0;
}

const char* BoxAnswerer::ButtonNames() { return "ok, cancel, yes, no, retry, ignore, abort"; }

BoxAnswerer::BoxAnswerer(int buttonId) : m_buttonId(buttonId) {
  // Thread id 0 is no thread: every thread of the process is watched.
  m_watcher.reset(new BoxWatcher(0, [this](HWND box) { OnBox(box); }));
}

BoxAnswerer::~BoxAnswerer() { m_watcher.reset(); }

// On the watcher's thread; sees an open box on every poll until it closes.
void BoxAnswerer::OnBox(HWND box) {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_answered.begin(); it != m_answered.end();)
      it = IsWindow(*it) ? std::next(it) : m_answered.erase(it);  // closed handles may come back
    if (!m_answered.insert(box).second) return;
  }
  CapturedBox captured = CapturedBox::Read(box);
  printf("box: %s: %s\n", OneLine(captured.caption).c_str(), OneLine(captured.text).c_str());
  fflush(stdout);
  if (captured.HasButton(m_buttonId)) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(m_buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, m_buttonId)));
  } else {
    PostMessageA(box, WM_CLOSE, 0, 0);
  }
}
