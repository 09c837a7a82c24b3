#include "BoxExpectation.h"

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string IdList(const std::vector<int>& ids) {
  std::string list = "[";
  for (size_t i = 0; i < ids.size(); ++i) list += (i ? ", " : "") + std::to_string(ids[i]);
  return list + "]";
}

}  // namespace

BoxExpectation& BoxExpectation::Caption(const std::string& exact) {
  checksCaption_ = true;
  caption_ = exact;
  return *this;
}

BoxExpectation& BoxExpectation::Text(const std::string& exact) {
  checksText_ = true;
  text_ = exact;
  return *this;
}

BoxExpectation& BoxExpectation::TextContains(const std::string& part) {
  textPart_ = part;
  return *this;
}

BoxExpectation& BoxExpectation::Buttons(const std::vector<int>& ids) {
  checksButtons_ = true;
  buttons_ = ids;
  return *this;
}

BoxExpectation& BoxExpectation::Icon(BoxIcon icon) {
  checksIcon_ = true;
  icon_ = icon;
  return *this;
}

BoxExpectation& BoxExpectation::Answer(int buttonId) {
  action_ = Action::Button;
  buttonId_ = buttonId;
  return *this;
}

BoxExpectation& BoxExpectation::Close() {
  action_ = Action::Close;
  return *this;
}

std::string BoxExpectation::Mismatch(const CapturedBox& box) const {
  std::string differences;
  if (checksCaption_ && box.caption != caption_)
    differences += "\n  caption: expected " + Quoted(caption_) + ", got " + Quoted(box.caption);
  if (checksText_ && box.text != text_)
    differences += "\n  text: expected " + Quoted(text_) + ", got " + Quoted(box.text);
  if (!textPart_.empty() && box.text.find(textPart_) == std::string::npos)
    differences += "\n  text: expected to contain " + Quoted(textPart_) + ", got " + Quoted(box.text);
  if (checksButtons_ && box.ButtonIds() != buttons_)
    differences += "\n  buttons: expected " + IdList(buttons_) + ", got " + IdList(box.ButtonIds());
  if (checksIcon_ && box.icon != icon_)
    differences += std::string("\n  icon: expected ") + BoxIconName(icon_) + ", got " + BoxIconName(box.icon);
  return differences;
}

std::string BoxExpectation::Describe() const {
  std::string description = "box";
  if (checksCaption_) description += " with caption " + Quoted(caption_);
  if (checksText_) description += " with text " + Quoted(text_);
  if (!textPart_.empty()) description += " with text containing " + Quoted(textPart_);
  return description;
}
