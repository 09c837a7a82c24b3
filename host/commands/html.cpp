// Commands of the HTML parsing services: mirror a page, list the events the
// tokenizer reports, normalise a text.
#include <afx.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "FileProblem.h"
#include "HostArguments.h"
#include "HostCommand.h"
#include "html/CHtmlMirrorWriter.h"
#include "html/CHtmlStringForwarder.h"
#include "html/NormalizeText.h"

namespace {

// Printable ASCII as is; backslash, quote and every other byte escaped.
CString Escape(LPCSTR p, int nLength) {
  CString out;
  for (int i = 0; i < nLength; ++i) {
    unsigned char ch = static_cast<unsigned char>(p[i]);
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (ch >= 32 && ch < 127) {
          out += static_cast<char>(ch);
        } else {
          char hex[8];
          snprintf(hex, sizeof(hex), "\\x%02X", ch);
          out += hex;
        }
    }
  }
  return out;
}

CString Quoted(const CString& str) { return "\"" + Escape(str, str.GetLength()) + "\""; }

// Prints one line per event.
class CEventPrinter : public CHtmlStringSink {
 public:
  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL*) override {
    CString line = "start " + Quoted(strName);
    for (int i = 0; i < nAttrs; ++i) line += " " + Quoted(ppAttrs[i]->m_strName) + "=" + Quoted(ppAttrs[i]->m_strValue);
    printf("%s\n", static_cast<LPCSTR>(line));
    return TRUE;
  }
  BOOL OnEndTag(const CString& strName, BOOL*) override {
    printf("end %s\n", static_cast<LPCSTR>(Quoted(strName)));
    return TRUE;
  }
  BOOL OnText(const CString& strText, BOOL*) override {
    printf("text %s\n", static_cast<LPCSTR>(Quoted(strText)));
    return TRUE;
  }
  BOOL OnComment(const CString& strComment, BOOL*) override {
    printf("comment %s\n", static_cast<LPCSTR>(Quoted(strComment)));
    return TRUE;
  }
};

int RunMirror(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("mirror", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 2) return UsageError("mirror", "expects a source file and an output file");
  const char* source = args.Operand(0);
  const char* output = args.Operand(1);
  // The source is checked first, as the writer does: an unreadable source
  // leaves the output untouched.
  CString why = WhyNotReadable(source);
  if (!why.IsEmpty()) return Failure("mirror", CString("cannot read the source ") + source + ": " + why);
  if (_stricmp(FullPath(source), FullPath(output)) == 0)
    return Failure("mirror", CString("the output ") + output + " is the source itself");
  CHtmlMirrorWriter writer(source, output);
  if (!writer.Run()) {
    why = WhyNotWritable(output);
    if (!why.IsEmpty()) return Failure("mirror", CString("cannot write the output ") + output + ": " + why);
    return Failure("mirror", CString("cannot mirror ") + source + " into " + output +
                                 ": reading the source or writing the output stopped part way");
  }
  printf("mirrored %s into %s\n", source, output);
  return kExitOk;
}

const HostOption kTokensOptions[] = {
    NumberOption("--chunk", 1, 0x7FFFFFFF, "bytes"),
    FlagOption("--keep-line-breaks"),
    FlagOption("--no-decode"),
};

int RunTokens(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("tokens", kTokensOptions, argc, argv)) return kExitUsage;
  if (args.OperandCount() > 1) return UsageError("tokens", "expects one file");
  if (args.OperandCount() == 0) return UsageError("tokens", "expects a file");
  const char* pszFile = args.Operand(0);
  const long nChunk = static_cast<long>(args.Number("--chunk", 0));
  const bool bKeepLineBreaks = args.Has("--keep-line-breaks");
  const bool bDecode = !args.Has("--no-decode");

  CString page, why;
  if (!ReadWholeFile(pszFile, page, &why)) return Failure("tokens", CString("cannot read ") + pszFile + ": " + why);
  CEventPrinter printer;
  CHtmlStringForwarder tokenizer;
  tokenizer.Attach(&printer);
  tokenizer.SetDecodeCharRefs(bDecode ? TRUE : FALSE);
  tokenizer.SetKeepLineBreaks(bKeepLineBreaks ? TRUE : FALSE);
  const int nSize = page.GetLength();
  const int nStep = nChunk > 0 ? static_cast<int>(nChunk) : nSize;
  for (int at = 0; at < nSize; at += nStep) {
    const int nLength = nSize - at < nStep ? nSize - at : nStep;
    tokenizer.Parse(static_cast<LPCSTR>(page) + at, nLength);
    if (nSize - at <= nStep) break;  // at + nStep could pass the largest int
  }
  tokenizer.Finish();
  return kExitOk;
}

int RunNormalize(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("normalize", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 1) return UsageError("normalize", "expects one text");
  CString text(args.Operand(0));
  if (!NormalizeText(text)) {
    fprintf(stderr, "ldhost normalize: the text is empty\n");
    return kExitFailed;
  }
  printf("%s\n", static_cast<LPCSTR>(text));
  return kExitOk;
}

const HostCommand mirrorCommand(
    "mirror", "write an HTML file back out as the tokenizer saw it",
    "usage: ldhost mirror SRC OUT\n\n"
    "Reads SRC through the tokenizer in 512-byte reads and writes OUT: a banner\n"
    "line, then one line per tag and comment, text as delivered (references\n"
    "decoded, line breaks folded into spaces). Attribute values are written in\n"
    "double quotes without escaping; attributes without value as bare names.\n"
    "OUT is replaced. Both files are used in text mode.\n\n"
    "Exit code 1 when SRC cannot be read or OUT cannot be written.\n",
    RunMirror);

const HostCommand tokensCommand(
    "tokens", "list the events the tokenizer reports for an HTML file",
    "usage: ldhost tokens FILE [--chunk N] [--keep-line-breaks] [--no-decode]\n\n"
    "Feeds FILE to the tokenizer and prints one event per line:\n"
    "  start \"NAME\" \"ATTR\"=\"VALUE\" ...\n"
    "  end \"NAME\"\n"
    "  text \"TEXT\"\n"
    "  comment \"TEXT\"\n"
    "Backslash, quote, CR, LF, TAB and bytes outside printable ASCII are\n"
    "escaped (\\\\, \\\", \\r, \\n, \\t, \\xHH).\n\n"
    "  --chunk N            feed the file in chunks of N bytes (default: whole)\n"
    "  --keep-line-breaks   keep CR and LF in text instead of folding them\n"
    "  --no-decode          leave character references as written\n\n"
    "Exit code 1 when FILE cannot be read.\n",
    RunTokens);

const HostCommand normalizeCommand(
    "normalize", "apply the tokenizer's text rules to a text",
    "usage: ldhost normalize TEXT\n\n"
    "Decodes character references (&amp; &#65; &copy; ...), drops CR and folds\n"
    "each run of line feeds after other text into one space, then prints the\n"
    "result and a line feed.\n\n"
    "Exit code 1 for an empty TEXT.\n",
    RunNormalize);

}  // namespace
