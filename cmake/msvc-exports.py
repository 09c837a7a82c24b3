#!/usr/bin/env python3
"""Module-definition file of a DLL of the Windows-ABI flavour.

The folders' exports.def files list each export by its GCC (Itanium) name
at its ordinal. This finds, for every entry, the one symbol defined by the
DLL's objects whose undecorated C++ signature is the same, and writes it at
the same ordinal, NONAME. GCC exports constructors and destructors twice or
three times (C1/C2, D0/D1/D2), the Windows ABI once: the complete-object
form (C1, D1) keeps the ordinal and the others are reported as collapsed.
Ordinals that may lack a counterpart are listed, with the reason, in the
allowance file. Fails on any other ordinal without a counterpart or with
two.

usage: msvc-exports.py OUT.def REPORT LIBRARY ALLOWANCE FRAGMENT... -- OBJECT...
"""
import os
import re
import subprocess
import sys

NM = os.environ.get("LDX_LLVM_NM", "llvm-nm")
CXXFILT = os.environ.get("LDX_LLVM_CXXFILT", "llvm-cxxfilt")
UNDNAME = os.environ.get("LDX_LLVM_UNDNAME", "llvm-undname")
CALLING_CONVENTIONS = ("__thiscall", "__cdecl", "__stdcall", "__fastcall", "__vectorcall")


def run(tool, args, text=None):
    result = subprocess.run([tool] + args, input=text, capture_output=True, text=True, check=True)
    return result.stdout


def normalize(signature):
    """The form both demanglers agree on: no class-keys, calling conventions
    or blanks, "__int64" spelled "long long", "(void)" as "()"."""
    s = re.sub(r"\b(class|struct|union|enum)\s+", "", signature)
    for convention in CALLING_CONVENTIONS:
        s = s.replace(convention, "")
    s = s.replace("unsigned __int64", "unsigned long long").replace("__int64", "long long")
    s = re.sub(r"\s+", "", s)
    return s.replace("(void)", "()")


def itanium_key(demangled):
    for prefix, kind in (("vtable for ", "vftable"), ("typeinfo for ", "typeinfo")):
        if demangled.startswith(prefix):
            return kind + ":" + normalize(demangled[len(prefix):])
    return normalize(demangled)


def closing_parenthesis(text, start):
    depth = 0
    for i in range(start, len(text)):
        if text[i] == "(":
            depth += 1
        elif text[i] == ")":
            depth -= 1
            if depth == 0:
                return i
    return len(text) - 1


def msvc_key(undecorated):
    """Key of an undecorated Windows-ABI name, or None for what no exports.def
    entry can stand for (thunks, helper tables, string literals)."""
    s = undecorated
    m = re.fullmatch(r"(?:const )?(.+)::`vftable'", s)
    if m:
        return "vftable:" + normalize(m.group(1))
    m = re.fullmatch(r"(?:class|struct) (.+) `RTTI Type Descriptor'", s)
    if m:
        return "typeinfo:" + normalize(m.group(1))
    if "`" in s:
        return None
    s = re.sub(r"^(public|protected|private): ", "", s)
    s = re.sub(r"^(virtual|static) ", "", s)
    if "(" in s:
        # A function: its calling convention stands right before its name,
        # also where the return type (a function pointer) encloses both.
        m = re.search(r"(?:%s) ([A-Za-z_~][^\s(*]*)\(" % "|".join(CALLING_CONVENTIONS), s)
        if m is None:
            return None
        end = closing_parenthesis(s, m.end() - 1)
        qualifier = " const" if s.startswith(" const", end + 1) else ""
        return normalize(m.group(1) + s[m.end() - 1:end + 1] + qualifier)
    # Data: the qualified name ends the declaration.
    m = re.search(r"([A-Za-z_][\w:]*)$", s)
    return normalize(m.group(1)) if m else None


def twin_rank(mangled):
    """0 for the form that keeps the ordinal, higher for its twins."""
    m = re.search(r"(C[12]|D[012])E", mangled)
    if not m or not mangled.startswith("_ZN"):
        return 0
    return {"C1": 0, "D1": 0, "C2": 1, "D2": 1, "D0": 2}[m.group(1)]


def read_fragments(paths):
    entries = []
    for path in paths:
        with open(path) as f:
            for line in f:
                line = line.split(";")[0].strip()
                m = re.match(r"(\S+)\s+@(\d+)\s+NONAME(\s+DATA)?$", line)
                if m:
                    entries.append((int(m.group(2)), m.group(1), bool(m.group(3)), path))
                elif line:
                    sys.exit(f"{path}: not an ordinal line: {line}")
    return entries


def read_allowance(path):
    allowed = {}
    with open(path) as f:
        for line in f:
            line = line.split("#")[0].strip()
            if line:
                ordinal, _, reason = line.partition(" ")
                allowed[int(ordinal)] = reason.strip()
    return allowed


def defined_symbols(objects):
    names = set()
    for line in run(NM, ["--defined-only", "--extern-only", "--format=just-symbols"] + objects).splitlines():
        line = line.strip()
        if line and not line.endswith(":"):
            names.add(line)
    return sorted(names)


def main():
    split = sys.argv.index("--")
    out_def, report_path, library, allowance = sys.argv[1:5]
    fragments = sys.argv[5:split]
    objects = [o for o in sys.argv[split + 1:] if o.endswith(".obj")]

    entries = read_fragments(fragments)
    allowed = read_allowance(allowance)
    demangled = run(CXXFILT, [], "\n".join(e[1] for e in entries) + "\n").splitlines()

    symbols = [s for s in defined_symbols(objects) if s.startswith("?")]
    undecorated = run(UNDNAME, [], "\n".join(symbols) + "\n").split("\n\n")
    by_key = {}
    # llvm-undname echoes each name, then its undecorated form, then a blank line.
    for block in undecorated:
        lines = block.strip("\n").split("\n")
        if len(lines) == 2:
            key = msvc_key(lines[1])
            if key is not None:
                by_key.setdefault(key, set()).add(lines[0])

    errors = []
    exports, collapsed, missing = [], [], []
    keys = {}
    for (ordinal, name, is_data, path), pretty in zip(entries, demangled):
        keys.setdefault(itanium_key(pretty), []).append((twin_rank(name), ordinal, name, is_data, pretty))
    for key, group in keys.items():
        group.sort()
        rank, ordinal, name, is_data, pretty = group[0]
        for twin_rank_, twin_ordinal, twin_name, _, _ in group[1:]:
            if twin_rank_ == 0:
                errors.append(f"ordinals {ordinal} and {twin_ordinal} stand for the same function {pretty}")
            collapsed.append((twin_ordinal, twin_name, ordinal))
        matches = sorted(by_key.get(key, ()))
        if len(matches) == 1:
            exports.append((ordinal, matches[0], is_data, pretty))
        elif not matches and ordinal in allowed:
            missing.append((ordinal, pretty, allowed[ordinal]))
        elif not matches:
            errors.append(f"ordinal {ordinal} ({pretty}) has no counterpart in the Windows ABI")
        else:
            errors.append(f"ordinal {ordinal} ({pretty}) has {len(matches)} counterparts: {' '.join(matches)}")
    for ordinal in sorted(set(allowed) - {m[0] for m in missing}):
        if any(e[0] == ordinal for e in exports):
            errors.append(f"ordinal {ordinal} is allowed to lack a counterpart but has one: remove it from {allowance}")

    with open(report_path, "w") as report:
        report.write(f"{library}: {len(exports)} exports by ordinal, none by name\n")
        report.write(f"collapsed twins ({len(collapsed)}): the ordinal of the first form is exported\n")
        for twin_ordinal, twin_name, ordinal in sorted(collapsed):
            report.write(f"  @{twin_ordinal} {twin_name} -> @{ordinal}\n")
        report.write(f"ordinals without counterpart ({len(missing)}):\n")
        for ordinal, pretty, reason in sorted(missing):
            report.write(f"  @{ordinal} {pretty}: {reason}\n")
    if errors:
        sys.exit(f"{library}: the exports of the Windows-ABI build do not match exports.def:\n  " + "\n  ".join(errors))

    with open(out_def + ".tmp", "w") as f:
        f.write(f"LIBRARY {library}\nEXPORTS\n")
        for ordinal, symbol, is_data, pretty in sorted(exports):
            f.write(f"    {symbol} @{ordinal} NONAME{' DATA' if is_data else ''}\n")
    os.replace(out_def + ".tmp", out_def)


if __name__ == "__main__":
    main()
