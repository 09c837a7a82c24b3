// Commands of the internet connection settings: the user's proxy, from the
// machine-wide internet settings or the dial-up connection's value.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostArguments.h"
#include "HostCommand.h"
#include "ProxyBackup.h"
#include "inet/CProxySettings.h"

namespace {

const char* OrNone(const CString& text) { return text.IsEmpty() ? "(none)" : static_cast<LPCSTR>(text); }

int ShowProxy() {
  CProxySettings proxy;
  proxy.Load();
  bool dialUp = proxy.UsesConnectionSettings() != FALSE;
  CString profile = CProxySettings::GetModemProfile();
  if (dialUp)
    printf("mode: dial-up connection '%s'\n", static_cast<LPCSTR>(profile));
  else
    printf("mode: machine-wide internet settings%s\n",
           CProxySettings::IsModemEnabled() ? " (the dial-up connection has no settings value)" : "");
  printf("enabled: %s\n", proxy.IsEnabled() ? "yes" : "no");
  printf("host: %s\n", OrNone(proxy.GetHost()));
  printf("port: %s\n", OrNone(proxy.GetPort()));
  CString list;
  if (proxy.ReadProxyServer(list))
    printf("list: %s\n", OrNone(list));
  else
    printf("list: none could be read\n");
  CString key = proxy.GetSettingsKeyPath();
  if (dialUp)
    printf("from: HKEY_CURRENT_USER\\%s, binary value '%s'\n", static_cast<LPCSTR>(key),
           static_cast<LPCSTR>(profile));
  else
    printf("from: HKEY_CURRENT_USER\\%s, values ProxyEnable and ProxyServer\n", static_cast<LPCSTR>(key));
  return kExitOk;
}

int SaveProxy(const char* path) {
  ProxyBackup backup;
  backup.Take();
  CString why;
  if (!backup.Save(path, why)) return Failure("proxy", CString("cannot save the settings to ") + path + ": " + why);
  printf("saved to %s:\n", path);
  backup.Describe(stdout);
  return kExitOk;
}

int RestoreProxy(const char* path) {
  ProxyBackup backup;
  CString why;
  if (!backup.Load(path, why)) return Failure("proxy", CString("cannot restore the settings from ") + path + ": " + why);
  if (!backup.Restore(why)) return Failure("proxy", why);
  printf("restored from %s:\n", path);
  backup.Describe(stdout);
  return kExitOk;
}

// A host-and-port text as the server list holds one: a host name, ":" and a
// port number from 1 to 65535. Blanks, ";" and "=" would split or change the
// list the text is written into.
bool IsHostAndPort(const char* text) {
  const char* colon = strchr(text, ':');
  if (colon == NULL || colon == text || strpbrk(text, " \t;=") != NULL) return false;
  const char* port = colon + 1;
  if (*port == '\0' || strlen(port) > 5 || strspn(port, "0123456789") != strlen(port)) return false;
  long number = strtol(port, NULL, 10);
  return number >= 1 && number <= 65535;
}

int RunProxy(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("proxy", argc, argv)) return kExitUsage;
  if (args.OperandCount() < 1) return UsageError("proxy", "expects show, set, enable, disable, save or restore");
  const char* action = args.Operand(0);
  bool set = strcmp(action, "set") == 0;
  if (strcmp(action, "save") == 0 || strcmp(action, "restore") == 0) {
    if (args.OperandCount() != 2 || *args.Operand(1) == '\0')
      return UsageError("proxy", CString(action) + " expects FILE");
    return strcmp(action, "save") == 0 ? SaveProxy(args.Operand(1)) : RestoreProxy(args.Operand(1));
  }
  if (args.OperandCount() != (set ? 2 : 1))
    return UsageError("proxy", set ? "set expects HOST:PORT" : "takes no further arguments");
  if (strcmp(action, "show") == 0) return ShowProxy();
  if (set && !IsHostAndPort(args.Operand(1)))
    return UsageError("proxy", CString("set expects HOST:PORT (a host name, ':' and a port from 1 to 65535), not '") +
                                   args.Operand(1) + "'");

  CProxySettings proxy;
  BOOL written;
  if (set) {
    proxy.Load();
    written = proxy.SetProxyServer(args.Operand(1));
  } else if (strcmp(action, "enable") == 0) {
    written = proxy.SetProxyEnabled(TRUE);
  } else if (strcmp(action, "disable") == 0) {
    written = proxy.Disable();
  } else {
    return UsageError("proxy", "unknown action (show, set, enable, disable, save or restore)");
  }
  if (!written) {
    fprintf(stderr, "ldhost proxy: the settings could not be written (the dial-up connection's value is missing "
                    "or damaged)\n");
    return kExitFailed;
  }
  printf("written to HKEY_CURRENT_USER\\%s\n", static_cast<LPCSTR>(proxy.GetSettingsKeyPath()));
  CString list;
  if (set && proxy.ReadProxyServer(list)) printf("list: %s\n", static_cast<LPCSTR>(list));
  return kExitOk;
}

const HostCommand proxyCommand(
    "proxy", "show or change the user's proxy settings",
    "usage: ldhost proxy show\n"
    "       ldhost proxy set HOST:PORT\n"
    "       ldhost proxy enable | disable\n"
    "       ldhost proxy save FILE | restore FILE\n\n"
    "The proxy comes from the user's internet settings (HKEY_CURRENT_USER\n"
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings), or, when\n"
    "ModemEnabled of [Connection Options] in the user's ldglobal.ini is set and\n"
    "the connection named by ModemProfile has a value below \"Connections\",\n"
    "from that dial-up connection's value.\n\n"
    "  show     the mode, whether a proxy is in use, the host and port for HTTP,\n"
    "           the server list and where it was read\n"
    "  set      makes HOST:PORT the HTTP proxy, writes the list back and\n"
    "           switches the proxy on; HOST is a name without blanks, ';', '='\n"
    "           or ':', PORT a number from 1 to 65535 (anything else: exit code 2)\n"
    "  enable   switches the proxy on; disable switches it off\n"
    "  save     writes ProxyEnable and ProxyServer of the internet settings,\n"
    "           and the value of the dial-up connection that ModemProfile\n"
    "           names, to FILE, exactly or as absent\n"
    "  restore  puts the values that save wrote to FILE back, and removes those\n"
    "           that were absent: what set, enable and disable changed is undone\n\n"
    "Exit code 1 when nothing could be written (a dial-up connection value\n"
    "that is missing or damaged is left as it is), or FILE cannot be written\n"
    "or read or was not written by save.\n",
    RunProxy);

}  // namespace
