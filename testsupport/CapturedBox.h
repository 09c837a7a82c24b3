// A snapshot of one message box or modal dialog, read from the live window
// at the moment it opened.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The icon a message box shows. The MB_ICON* flags are not kept in the box's
// window styles, so the kind is found by comparing the icon of the box's
// SS_ICON static with the system's shared icons (LoadIcon(NULL, IDI_*)),
// which is what Wine's MessageBox shows. MB_ICONHAND/STOP/ERROR are one
// value, as are EXCLAMATION/WARNING and ASTERISK/INFORMATION.
enum class BoxIcon { None, Error, Question, Warning, Information, Other };

const char* BoxIconName(BoxIcon icon);

struct BoxButton {
  int id;
  std::string text;
};

struct BoxControl {
  int id;                 // GetDlgCtrlID; a static without an id reads 0xFFFF
  std::string className;  // "Static", "Button", "Edit", ...
  std::string text;
  DWORD style;
  bool visible;           // its own WS_VISIBLE flag
};

class CapturedBox {
 public:
  // Reads a box; works from the box's own thread and from any other thread
  // of the same process (the texts then travel by sent messages).
  static CapturedBox Read(HWND box);

  HWND window = nullptr;
  HWND owner = nullptr;  // GW_OWNER
  DWORD threadId = 0;    // thread that shows the box
  std::string caption;
  // The message of a MessageBox: the text of the first static with id 0xFFFF.
  // For a dialog that is its first unnumbered label, if any; use ControlText.
  std::string text;
  std::vector<BoxButton> buttons;    // visible push buttons, by ascending id
  std::vector<BoxControl> controls;  // every child window, in z-order
  BoxIcon icon = BoxIcon::None;
  int defaultButton = 0;  // id of the default push button, 0 when none

  bool HasButton(int id) const;
  std::vector<int> ButtonIds() const;
  const BoxControl* Control(int id) const;  // first child with that id
  std::string ControlText(int id) const;    // empty when there is no such child
  std::string Describe() const;             // caption, text and buttons, for messages
};
