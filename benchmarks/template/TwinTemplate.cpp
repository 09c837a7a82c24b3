#include "TwinTemplate.h"

void TwinTemplate::Text(const std::string& text) {
  expander_ += text;
  for (char c : text) {
    if (c == '\n') ctemplate_ += '\r';
    ctemplate_ += c;
  }
}

void TwinTemplate::Variable(const std::string& name) {
  expander_ += "${" + name + "}$";
  ctemplate_ += "{{" + name + "}}";
}

void TwinTemplate::BeginBlock(const std::string& name) {
  expander_ += "<!--^^ifdef " + name + "^^-->";
  ctemplate_ += "{{#" + name + "}}";
}

void TwinTemplate::EndBlock(const std::string& name) {
  expander_ += "<!--^^endif^^-->";
  ctemplate_ += "{{/" + name + "}}";
}
