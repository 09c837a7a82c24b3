#include "CtemplatePeer.h"

#include <unistd.h>

#include <memory>

#include <ctemplate/template_emitter.h>

namespace {

// Collects output into 64 KB writes on a file.
class FileEmitter : public ctemplate::ExpandEmitter {
 public:
  explicit FileEmitter(int hFile) : hFile_(hFile) {}
  ~FileEmitter() override { Flush(); }

  void Emit(char c) override { Emit(&c, 1); }
  void Emit(const std::string& s) override { Emit(s.data(), s.size()); }
  void Emit(const char* s) override { Emit(s, strlen(s)); }
  void Emit(const char* s, size_t slen) override {
    if (slen > sizeof buffer_ - used_) {
      Flush();
      if (slen >= sizeof buffer_) {
        Write(s, slen);
        return;
      }
    }
    memcpy(buffer_ + used_, s, slen);
    used_ += slen;
  }
  bool Flush() {
    Write(buffer_, used_);
    used_ = 0;
    return ok_;
  }

 private:
  void Write(const char* p, size_t n) {
    while (n > 0) {
      const ssize_t written = ::write(hFile_, p, n);
      if (written <= 0) {
        ok_ = false;
        return;
      }
      p += written;
      n -= static_cast<size_t>(written);
    }
  }

  int hFile_;
  bool ok_ = true;
  size_t used_ = 0;
  char buffer_[64 * 1024];
};

void Fill(ctemplate::TemplateDictionary* pDictionary, const CaseValues& values) {
  for (const auto& value : values.values) {
    pDictionary->SetValue(value.first, value.second);
    // A name with a value is defined for the expander: its blocks are kept.
    pDictionary->ShowSection(value.first);
  }
  for (const std::string& name : values.defined) pDictionary->ShowSection(name);
}

}  // namespace

CtemplatePeer::CtemplatePeer(const CompareCase& compareCase)
    : key_("compare-" + compareCase.Name()),
      text_(compareCase.CtemplateText()),
      dictionary_(compareCase.Name()) {
  Fill(&dictionary_, compareCase.Values());
  for (const CaseValues& row : compareCase.Rows())
    Fill(dictionary_.AddSectionDictionary(CompareCase::kRowSection), row);
  ctemplate::StringToTemplateCache(key_, text_, ctemplate::DO_NOT_STRIP);
}

bool CtemplatePeer::ExpandCached(std::string* pOut) const {
  pOut->clear();
  return ctemplate::ExpandTemplate(key_, ctemplate::DO_NOT_STRIP, &dictionary_, pOut);
}

bool CtemplatePeer::ExpandParsed(std::string* pOut) const {
  pOut->clear();
  std::unique_ptr<ctemplate::Template> parsed(
      ctemplate::Template::StringToTemplate(text_, ctemplate::DO_NOT_STRIP));
  return parsed != nullptr && parsed->Expand(pOut, &dictionary_);
}

bool CtemplatePeer::ExpandCachedToFile(int hFile) const {
  FileEmitter emitter(hFile);
  const bool ok = ctemplate::ExpandTemplate(key_, ctemplate::DO_NOT_STRIP, &dictionary_, &emitter);
  return emitter.Flush() && ok;
}

bool CtemplatePeer::ExpandParsedToFile(int hFile) const {
  std::unique_ptr<ctemplate::Template> parsed(
      ctemplate::Template::StringToTemplate(text_, ctemplate::DO_NOT_STRIP));
  if (parsed == nullptr) return false;
  FileEmitter emitter(hFile);
  const bool ok = parsed->Expand(&emitter, &dictionary_);
  return emitter.Flush() && ok;
}
