// One template written in two syntaxes at once: the expander's ("${NAME}$",
// "<!--^^ifdef NAME^^-->" ... "<!--^^endif^^-->", LF line ends that it
// writes as CR LF) and ctemplate's ("{{NAME}}", "{{#NAME}}" ... "{{/NAME}}",
// its text copied unchanged, so it is given CR LF line ends). Expanded with
// the same values, both give the same text.
#pragma once

#include <string>

class TwinTemplate {
 public:
  // Text without markers of either syntax; its LFs become line ends.
  void Text(const std::string& text);
  void Variable(const std::string& name);
  // A block kept only when NAME is defined (a shown section in ctemplate).
  void BeginBlock(const std::string& name);
  void EndBlock(const std::string& name);

  const std::string& ForExpander() const { return expander_; }
  const std::string& ForCtemplate() const { return ctemplate_; }
  bool IsEmpty() const { return expander_.empty(); }

 private:
  std::string expander_;
  std::string ctemplate_;
};
