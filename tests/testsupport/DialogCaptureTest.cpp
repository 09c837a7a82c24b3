// Dialogs built from in-memory templates: texts filled at WM_INITDIALOG,
// boxes nested in a dialog, and a test's own dialog that must be left alone.
#include "testsupport/BoxScript.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

const int kMessageId = 101;
const char kCaption[] = "Template Dialog";

// A dialog template in memory: a caption, a static text and two buttons.
class DialogTemplate {
 public:
  explicit DialogTemplate(DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME) {
    Add32(style);
    Add32(0);   // extended style
    Add16(3);   // controls
    AddRect(0, 0, 200, 80);
    Add16(0);   // no menu
    Add16(0);   // default class
    AddText(kCaption);
    AddControl(WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10, 180, 20, kMessageId, 0x0082, "placeholder");
    AddControl(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 40, 50, 50, 14, IDOK, 0x0080, "Continue");
    AddControl(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 110, 50, 50, 14, IDCANCEL, 0x0080, "Cancel");
  }
  LPCDLGTEMPLATEA get() const { return reinterpret_cast<LPCDLGTEMPLATEA>(words_.data()); }

 private:
  void Add16(WORD value) { words_.push_back(value); }
  void Add32(DWORD value) {
    Add16(LOWORD(value));
    Add16(HIWORD(value));
  }
  void AddRect(short x, short y, short cx, short cy) {
    for (short value : {x, y, cx, cy}) Add16(static_cast<WORD>(value));
  }
  void AddText(const char* text) {
    do Add16(static_cast<WORD>(*text)); while (*text++);
  }
  void AddControl(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom, const char* text) {
    if (words_.size() % 2) Add16(0);  // items start on a DWORD boundary
    Add32(style);
    Add32(0);
    AddRect(x, y, cx, cy);
    Add16(id);
    Add16(0xFFFF);
    Add16(classAtom);
    AddText(text);
    Add16(0);  // no creation data
  }
  std::vector<WORD> words_;
};

INT_PTR CALLBACK ConfirmingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) {
    SetDlgItemTextA(dialog, kMessageId, "Filled in at init");
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, MessageBoxA(dialog, "Save changes?", "Confirm", MB_YESNO));
    return TRUE;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

INT_PTR RunDialog(const DialogTemplate& dialogTemplate, HWND owner = nullptr) {
  return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.get(), owner, ConfirmingDialogProc, 0);
}

TEST(DialogCapture, CapturesCaptionButtonsAndTextsFilledAtInit) {
  DialogTemplate dialogTemplate;
  BoxScript script;
  script.Expect().Caption(kCaption).Buttons({IDOK, IDCANCEL}).Answer(IDCANCEL);

  EXPECT_EQ(IDCANCEL, RunDialog(dialogTemplate));

  CapturedBox box = script.Captured().at(0);
  EXPECT_EQ("Filled in at init", box.ControlText(kMessageId));
  EXPECT_EQ("Continue", box.buttons.at(0).text);
  EXPECT_EQ(IDOK, box.defaultButton);
  EXPECT_EQ(BoxIcon::None, box.icon);
  ASSERT_NE(nullptr, box.Control(kMessageId));
  EXPECT_EQ("Static", box.Control(kMessageId)->className);
  EXPECT_EQ("", box.ControlText(999));
}

TEST(DialogCapture, CloseBoxEndsTheDialogAsCancel) {
  DialogTemplate dialogTemplate;
  BoxScript script;
  script.Expect().Caption(kCaption).Close();

  EXPECT_EQ(IDCANCEL, RunDialog(dialogTemplate));
}

TEST(DialogCapture, BoxOpenedFromAnOpenDialogIsAnsweredInItsTurn) {
  DialogTemplate dialogTemplate;
  BoxScript script;
  script.Expect().Caption(kCaption).Answer(IDOK);
  script.Expect().Caption("Confirm").Text("Save changes?").Answer(IDNO);

  EXPECT_EQ(IDNO, RunDialog(dialogTemplate));

  std::vector<CapturedBox> boxes = script.Captured();
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ(boxes[0].window, boxes[1].owner);
}

TEST(DialogCapture, UnexpectedDialogIsDismissedWithCancel) {
  DialogTemplate dialogTemplate;
  BoxScript script;
  INT_PTR result = 0;
  EXPECT_NONFATAL_FAILURE(result = RunDialog(dialogTemplate), "Unexpected box \"Template Dialog\"");
  EXPECT_EQ(IDCANCEL, result);
}

INT_PTR CALLBACK PageHostDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* page = reinterpret_cast<const DialogTemplate*>(lParam);
    CreateDialogIndirectParamA(GetModuleHandleA(nullptr), page->get(), dialog, ConfirmingDialogProc, 0);
    return TRUE;
  }
  return ConfirmingDialogProc(dialog, message, wParam, lParam);
}

TEST(DialogCapture, ChildDialogIsPartOfItsDialogNotABox) {
  DialogTemplate host;
  DialogTemplate page(WS_CHILD | WS_VISIBLE);
  BoxScript script;
  script.Expect().Caption(kCaption).Answer(IDCANCEL);

  EXPECT_EQ(IDCANCEL, DialogBoxIndirectParamA(GetModuleHandleA(nullptr), host.get(), nullptr, PageHostDialogProc,
                                              reinterpret_cast<LPARAM>(&page)));
  EXPECT_EQ(1u, script.Captured().size());
}

TEST(DialogCapture, DialogOpenBeforeTheScriptIsLeftAlone) {
  DialogTemplate dialogTemplate(WS_POPUP | WS_CAPTION | WS_VISIBLE);
  HWND ownDialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate.get(), nullptr,
                                              ConfirmingDialogProc, 0);
  ASSERT_NE(nullptr, ownDialog);
  {
    BoxScript script;
    script.Expect().Caption("Owned").Answer(IDOK);
    // Closing the box activates the dialog again, which must not count as a box.
    EXPECT_EQ(IDOK, MessageBoxA(ownDialog, "Text", "Owned", MB_OK));
    EXPECT_EQ(1u, script.Captured().size());
  }
  DestroyWindow(ownDialog);
}

}  // namespace
