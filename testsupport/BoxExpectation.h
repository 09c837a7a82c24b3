// One box a test expects: what it must look like and how to answer it.
// Built with chained calls: script.Expect().Caption("Setup").Answer(IDYES);
#pragma once

#include "CapturedBox.h"

#include <string>
#include <vector>

class BoxExpectation {
 public:
  enum class Action { DefaultButton, Button, Close };

  // Checks; a box that fails one fails the test but is still answered.
  BoxExpectation& Caption(const std::string& exact);
  BoxExpectation& Text(const std::string& exact);
  BoxExpectation& TextContains(const std::string& part);
  BoxExpectation& Buttons(const std::vector<int>& ids);  // ascending ids, e.g. {IDYES, IDNO}
  BoxExpectation& Icon(BoxIcon icon);

  // How the box is answered (by a posted message, never waiting):
  BoxExpectation& Answer(int buttonId);  // clicks that button; it must be present
  BoxExpectation& Close();               // the close box (WM_CLOSE), as the user's Esc
  // Without either, the default button is pressed, as with the Enter key.

  Action action() const { return action_; }
  int buttonId() const { return buttonId_; }

  // Empty when the box matches; otherwise what differs, one line per check.
  std::string Mismatch(const CapturedBox& box) const;
  // What was expected, for the report of a box that never came.
  std::string Describe() const;

 private:
  bool checksCaption_ = false, checksText_ = false, checksButtons_ = false, checksIcon_ = false;
  std::string caption_, text_, textPart_;
  std::vector<int> buttons_;
  BoxIcon icon_ = BoxIcon::None;
  Action action_ = Action::DefaultButton;
  int buttonId_ = 0;
};
