// Commands of the template expander, the branding text and the extension
// package dialog.
#include <afxwin.h>
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include "FileProblem.h"
#include "HostArguments.h"
#include "HostCommand.h"
#include "packages/CExtensionPackageDlg.h"
#include "template/BrandingText.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"

namespace {

// The whole file, or standard input for "-"; false when it cannot be read,
// with the reason in why.
bool ReadInput(const char* path, CString& text, CString& why) {
  if (strcmp(path, "-") != 0) return ReadWholeFile(path, text, &why);
  _setmode(_fileno(stdin), _O_BINARY);
  char buffer[65536];
  size_t count;
  while ((count = fread(buffer, 1, sizeof buffer, stdin)) > 0) AppendBytes(text, buffer, static_cast<int>(count));
  if (ferror(stdin)) why = "standard input could not be read";
  return !ferror(stdin);
}

// "NAME=VALUE" into the list; false when it has no "=" or no name.
bool AddVariable(CNamedValueList& list, const char* assignment) {
  const char* equals = strchr(assignment, '=');
  if (equals == NULL || equals == assignment) return false;
  return list.SetValue(CString(assignment, static_cast<int>(equals - assignment)), equals + 1) != FALSE;
}

const HostOption kExpandOptions[] = {
    TextOption("--var"),
    TextOption("--more-var"),
    NumberOption("--width", 0, 0xFFFFFFFF),
    NonEmptyOption("--out"),
};

// Every NAME=VALUE given with option into list; false after a usage error.
bool AddVariables(const HostArguments& args, const char* option, CNamedValueList& list) {
  for (int i = 0; i < args.Count(option); ++i)
    if (!AddVariable(list, args.Value(option, i))) {
      UsageError("expand", CString(option) + " expects NAME=VALUE with a non-empty NAME");
      return false;
    }
  return true;
}

int RunExpand(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("expand", kExpandOptions, argc, argv)) return kExitUsage;
  CNamedValueList vars, moreVars;
  if (!AddVariables(args, "--var", vars) || !AddVariables(args, "--more-var", moreVars)) return kExitUsage;
  const UINT width = args.Number("--width", 0);
  const bool wrapping = width != 0;
  const char* outPath = args.Value("--out");
  if (args.OperandCount() > 1) return UsageError("expand", "expects one template");
  const char* templatePath = args.OperandCount() == 1 ? args.Operand(0) : NULL;
  if (templatePath == NULL) return UsageError("expand", "expects a template file");

  CString templ, why;
  if (!ReadInput(templatePath, templ, why)) return Failure("expand", CString("cannot read ") + templatePath + ": " + why);
  const int zero = static_cast<int>(strlen(templ));
  if (zero < templ.GetLength()) {
    fprintf(stderr, "ldhost expand: %s holds a zero byte at offset %u; a template is text\n", templatePath,
            static_cast<unsigned>(zero));
    return kExitFailed;
  }

  CTemplateExpander expander;
  if (outPath == NULL && !wrapping) {
    LPSTR expanded = NULL;
    if (!expander.ExpandToString(static_cast<LPCSTR>(templ), &expanded, &vars, &moreVars)) {
      fprintf(stderr, "ldhost expand: the expansion failed\n");
      return kExitFailed;
    }
    _setmode(_fileno(stdout), _O_BINARY);
    fwrite(expanded, 1, strlen(expanded), stdout);
    fflush(stdout);
    AfxFreeMemory(expanded);
    return kExitOk;
  }

  int file = -1;
  if (outPath != NULL) {
    file = _open(outPath, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (file == -1) {
      why = WhyNotWritable(outPath);
      return Failure("expand", CString("cannot create ") + outPath + ": " + (why.IsEmpty() ? CString(strerror(errno)) : why));
    }
  } else {
    fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
    file = _fileno(stdout);
  }
  const BOOL expanded = expander.ExpandToFile(static_cast<LPCSTR>(templ), file, &vars, &moreVars, width);
  if (outPath != NULL) _close(file);
  if (!expanded) {
    fprintf(stderr, "ldhost expand: the expansion failed%s\n",
            templ.IsEmpty() ? " (an empty template gives no file output)" : " (the output could not be written)");
    return kExitFailed;
  }
  return kExitOk;
}

const HostOption kTitleOptions[] = {
    FlagOption("--path"),
    TextOption("--apply"),
};

int RunTitle(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("title", kTitleOptions, argc, argv)) return kExitUsage;
  const bool path = args.Has("--path");
  const int applied = args.Count("--apply");
  if (args.OperandCount() != 0 || (path ? 1 : 0) + applied > 1)
    return UsageError("title", "expects no arguments, --path, or --apply TEXT");
  if (path) {
    CString path;
    if (!GetBrandingIniPath(path)) {
      fprintf(stderr, "ldhost title: the program directory is not recorded (\"ProgramDir\" of the product key)\n");
      return kExitFailed;
    }
    printf("%s\n", static_cast<LPCSTR>(path));
    return kExitOk;
  }
  if (applied == 1) {
    printf("%s\n", static_cast<LPCSTR>(ApplyProductTitle(args.Value("--apply"))));
    return kExitOk;
  }
  printf("%s\n", static_cast<LPCSTR>(ApplyProductTitle("%s")));
  return kExitOk;
}

int RunExtensionDialog(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("extension-dialog", argc, argv)) return kExitUsage;
  if (args.OperandCount() != 0) return UsageError("extension-dialog", "expects no arguments");
  CExtensionPackageDlg dialog(NULL);
  const int result = dialog.DoModal();
  if (result == IDOK) {
    printf("continue (%d)\n", result);
  } else if (result == IDCANCEL) {
    printf("cancel (%d)\n", result);
  } else {
    fprintf(stderr, "ldhost extension-dialog: the dialog could not be shown (%d)\n", result);
    return kExitFailed;
  }
  return kExitOk;
}

const HostCommand expandCommand(
    "expand", "expand a template with variables",
    "usage: ldhost expand TEMPLATE [--var NAME=VALUE]... [--more-var NAME=VALUE]...\n"
    "                     [--width N] [--out FILE]\n\n"
    "Expands the template file TEMPLATE (\"-\" for standard input): \"${NAME}$\"\n"
    "becomes the variable's value, \"<!--^^ifdef NAME^^-->\" ... \"<!--^^endif^^-->\"\n"
    "keeps its block only when NAME is defined (even with an empty value), and\n"
    "every line ends in CR LF. Variables come from the --var list, then from the\n"
    "--more-var list; names are compared without regard to case, and a later\n"
    "--var of the same name replaces the value.\n"
    "--width N wraps lines longer than N bytes (after their last space, else\n"
    "after N bytes); 0 does not wrap. --out writes FILE (replaced) instead of\n"
    "standard output.\n"
    "Exit code 1 when the template cannot be read or the expansion fails (an\n"
    "empty template gives no file output).\n",
    RunExpand);

const HostCommand titleCommand(
    "title", "show the product title",
    "usage: ldhost title [--path | --apply TEXT]\n\n"
    "Prints the product title: \"TitleShort\", else \"Title\", of section [Product]\n"
    "in Branding\\branding.ini of the program directory, else the host's\n"
    "application title string (57344). The file is read on every call.\n"
    "--path prints the branding file's path instead (exit code 1 when the\n"
    "program directory is not recorded); --apply prints TEXT with every \"%s\"\n"
    "replaced by the title.\n",
    RunTitle);

const HostCommand extensionDialogCommand(
    "extension-dialog", "offer the search area extension package",
    "usage: ldhost extension-dialog\n\n"
    "Shows the extension package dialog (dialog 101 of the library, its texts\n"
    "naming the product title) and prints the answer: \"continue (1)\" or\n"
    "\"cancel (2)\" (Cancel or the close box). Needs a display.\n"
    "Exit code 1 when the dialog cannot be shown.\n",
    RunExtensionDialog);

}  // namespace
