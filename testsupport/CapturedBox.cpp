#include "CapturedBox.h"

#include <algorithm>

namespace {

const int kUnnumberedId = 0xFFFF;

std::string WindowText(HWND window) {
  std::string text(GetWindowTextLengthA(window) + 1, '\0');
  int length = GetWindowTextA(window, &text[0], static_cast<int>(text.size()));
  text.resize(length > 0 ? length : 0);
  return text;
}

std::string ClassName(HWND window) {
  char buffer[256];
  int length = GetClassNameA(window, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

bool IsClass(const BoxControl& control, const char* name) {
  return lstrcmpiA(control.className.c_str(), name) == 0;
}

bool IsPushButton(const BoxControl& control) {
  DWORD kind = control.style & BS_TYPEMASK;
  return IsClass(control, "Button") && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON);
}

bool IsIconStatic(const BoxControl& control) {
  return IsClass(control, "Static") && (control.style & SS_TYPEMASK) == SS_ICON;
}

bool IsUnnumbered(int id) { return id == kUnnumberedId || id == -1; }

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
  auto* controls = reinterpret_cast<std::vector<BoxControl>*>(param);
  DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
  controls->push_back({GetDlgCtrlID(child), ClassName(child), WindowText(child), style,
                       (style & WS_VISIBLE) != 0});
  return TRUE;
}

BoxIcon IconKind(HICON icon) {
  if (icon == nullptr) return BoxIcon::None;
  if (icon == LoadIcon(nullptr, IDI_HAND)) return BoxIcon::Error;
  if (icon == LoadIcon(nullptr, IDI_QUESTION)) return BoxIcon::Question;
  if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return BoxIcon::Warning;
  if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return BoxIcon::Information;
  return BoxIcon::Other;
}

BoxIcon ReadIcon(HWND box, const std::vector<BoxControl>& controls) {
  for (const BoxControl& control : controls) {
    if (!control.visible || !IsIconStatic(control)) continue;
    HWND iconWindow = GetDlgItem(box, control.id);
    auto icon = reinterpret_cast<HICON>(SendMessageA(iconWindow, STM_GETICON, 0, 0));
    if (icon != nullptr) return IconKind(icon);
  }
  return BoxIcon::None;
}

// The button the Enter key presses. A message box marks it BS_DEFPUSHBUTTON
// (and gives it the focus) but leaves the dialog's default id at IDOK, which
// may name no button at all, so the style is asked first.
int ReadDefaultButton(HWND box, const std::vector<BoxControl>& buttons) {
  for (const BoxControl& button : buttons) {
    if ((button.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) return button.id;
  }
  LRESULT defId = SendMessageA(box, DM_GETDEFID, 0, 0);
  if (HIWORD(defId) != DC_HASDEFID) return 0;
  for (const BoxControl& button : buttons) {
    if (button.id == LOWORD(defId)) return button.id;
  }
  return 0;
}

}  // namespace

const char* BoxIconName(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::None: return "none";
    case BoxIcon::Error: return "error";
    case BoxIcon::Question: return "question";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Information: return "information";
    case BoxIcon::Other: return "other";
  }
  return "?";
}

CapturedBox CapturedBox::Read(HWND box) {
  CapturedBox result;
  result.window = box;
  result.owner = GetWindow(box, GW_OWNER);
  result.threadId = GetWindowThreadProcessId(box, nullptr);
  result.caption = WindowText(box);
  EnumChildWindows(box, CollectChild, reinterpret_cast<LPARAM>(&result.controls));

  std::vector<BoxControl> pushButtons;
  for (const BoxControl& control : result.controls) {
    if (control.visible && IsPushButton(control)) pushButtons.push_back(control);
  }
  for (const BoxControl& button : pushButtons) result.buttons.push_back({button.id, button.text});
  std::sort(result.buttons.begin(), result.buttons.end(),
            [](const BoxButton& a, const BoxButton& b) { return a.id < b.id; });

  for (const BoxControl& control : result.controls) {
    if (IsClass(control, "Static") && IsUnnumbered(control.id) && !IsIconStatic(control)) {
      result.text = control.text;
      break;
    }
  }
  result.icon = ReadIcon(box, result.controls);
  result.defaultButton = ReadDefaultButton(box, pushButtons);
  return result;
}

bool CapturedBox::HasButton(int id) const {
  return std::any_of(buttons.begin(), buttons.end(), [id](const BoxButton& b) { return b.id == id; });
}

std::vector<int> CapturedBox::ButtonIds() const {
  std::vector<int> ids;
  for (const BoxButton& button : buttons) ids.push_back(button.id);
  return ids;
}

const BoxControl* CapturedBox::Control(int id) const {
  for (const BoxControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

std::string CapturedBox::ControlText(int id) const {
  const BoxControl* control = Control(id);
  return control ? control->text : std::string();
}

std::string CapturedBox::Describe() const {
  std::string description = "box \"" + caption + "\" with text \"" + text + "\", buttons [";
  for (size_t i = 0; i < buttons.size(); ++i) {
    if (i > 0) description += ", ";
    description += std::to_string(buttons[i].id) + " \"" + buttons[i].text + "\"";
  }
  return description + "]";
}
