// Discovery of the installed browsers and of the one the system uses for
// HTML files. Each set-up is discovered by a probe process of its own (see
// BrowserProbe.cpp), which reports every record, the selection and the
// queries.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>

#include "BrowserTestHost.h"
#include "FileTerritory.h"
#include "ProbeRunner.h"
#include "RegistryTerritory.h"
#include "browser/BrowserDiscovery.h"

namespace {

const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kClass[] = "LdxTest.DiscoveryHtml";

const char kNetscape32Description[] = "Netscape Navigator 32-bit, Netscape Communications Corp.";
const char kNetscape16Description[] = "Netscape Navigator 16-bit, Netscape Communications Corp.";
const char kIExploreDescription[] = "Internet Explorer, Microsoft Corp.";
const char kMosaicDescription[] = "NCSA Mosaic";
const char kMosaicIniDescription[] = "Mosaic (Not in registry), NCSA";
const char kNone[] = "0|||||";

std::string Found(const std::string& name, const std::string& description, const std::string& exe,
                  const std::string& arguments, const std::string& ddeService) {
  return "1|" + name + "|" + description + "|" + exe + "|" + arguments + "|" + ddeService;
}
std::string Netscape32(const std::string& exe, const std::string& arguments = " -h ",
                       const std::string& dde = "Netscape") {
  return Found("Netscape", kNetscape32Description, exe, arguments, dde);
}
std::string Netscape16(const std::string& exe) { return Found("Netscape", kNetscape16Description, exe, " -h ", "Netscape"); }
std::string IExplore(const std::string& exe) { return Found("IExplore", kIExploreDescription, exe, " -nohome ", "IExplore"); }
std::string Mosaic(const std::string& exe) { return Found("Mosaic", kMosaicDescription, exe, "", "Mosaic"); }
std::string MosaicIni(const std::string& exe) { return Found("Mosaic", kMosaicIniDescription, exe, "", "Mosaic"); }
std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Everything discovery reads, cleared for the set-up of one probe: the App
// Paths entries, Netscape's user keys, the HTML file classes, and the INI
// files of the 16-bit browsers. Programs are empty files below Root().
class Scene {
 public:
  Scene() {
    for (const char* program : {"Netscape.exe", "IEXPLORE.EXE", "mosaic.exe"})
      m_registry.Own(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + program);
    m_registry.Own(HKEY_CURRENT_USER, "Software\\Netscape");
    for (const char* key : {".htm", ".html", kClass}) m_registry.Own(HKEY_CLASSES_ROOT, key);
    for (const std::string& file : {FileTerritory::WindowsDir() + "NETSCAPE.INI",
                                    FileTerritory::WindowsDir() + "MOSAIC.INI", std::string("c:\\netscape\\netscape.ini"),
                                    std::string("c:\\mosaic\\mosaic.ini")})
      m_files.Own(file);
    m_root = BrowserTestHost::ScratchRoot() + "discovery\\";
    m_files.MakeDir(BrowserTestHost::ScratchRoot() + "discovery");
  }

  const std::string& Root() const { return m_root; }
  // Creates the program file; returns its path.
  std::string Program(const std::string& relative) {
    m_files.Write(m_root + relative);
    return m_root + relative;
  }
  void Register(const char* appPathsKey, const std::string& path, DWORD type = REG_SZ) {
    m_registry.SetString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + appPathsKey, NULL, path, type);
  }
  void SetMozillaVersion(const std::string& version, DWORD type = REG_SZ) {
    m_registry.SetString(HKEY_CURRENT_USER, "Software\\Netscape\\Netscape Navigator\\Main", "Mozilla", version, type);
  }
  // Writes an INI file; "%R" in the text stands for the scene's root.
  void WriteIni(const std::string& path, std::string text) {
    for (size_t at; (at = text.find("%R")) != std::string::npos;) text.replace(at, 2, m_root);
    m_files.Write(path, text);
  }
  void WriteWindowsIni(const char* name, const std::string& text) { WriteIni(FileTerritory::WindowsDir() + name, text); }
  // ".htm" files open with this command.
  void SetHtmlBrowser(const std::string& command, const char* contentType = "text/html") {
    m_registry.SetDefault(HKEY_CLASSES_ROOT, ".htm", kClass);
    m_registry.SetString(HKEY_CLASSES_ROOT, ".htm", "Content Type", contentType);
    m_registry.SetDefault(HKEY_CLASSES_ROOT, std::string(kClass) + "\\shell\\open\\command", command);
  }

  ProbeReport Discover() {
    std::vector<ProbeReport> reports = RunProbe("discover");
    return reports.empty() ? ProbeReport() : reports[0];
  }

 private:
  RegistryTerritory m_registry;
  FileTerritory m_files;
  std::string m_root;
};

// The queries in the order Netscape installed, Netscape selected, Internet
// Explorer installed, Mosaic installed.
std::string Queries(const ProbeReport& report) {
  std::string flags;
  for (const char* query : {"IsNetscapeInstalled", "IsNetscapeSelected", "IsIExploreInstalled", "IsMosaicInstalled"}) {
    auto it = report.find(query);
    flags += it == report.end() ? "?" : it->second;
  }
  return flags;
}

std::string At(const ProbeReport& report, const char* key) {
  auto it = report.find(key);
  return it == report.end() ? "<missing>" : it->second;
}

TEST(DiscoveryTest, NoBrowserAtAll) {
  Scene scene;
  ProbeReport report = scene.Discover();
  for (const char* record : {"Netscape32", "IExplore", "Mosaic", "Netscape16", "MosaicIni"})
    EXPECT_EQ(kNone, At(report, record)) << record;
  EXPECT_EQ("none", At(report, "Selected"));
  EXPECT_EQ("0000", Queries(report));
}

TEST(DiscoveryTest, Netscape20b1BetaTakesNoSwitchAndNoDdeService) {
  const struct {
    const char* version;  // NULL: no "Mozilla" value
    DWORD type;
    bool beta;
  } cases[] = {
      {NULL, REG_SZ, false},
      {"Mozilla/2.0b1 (Win95; I)", REG_SZ, true},
      {"2.0B1", REG_SZ, false},  // case counts
      {"4.79 [en]", REG_SZ, false},
      {"2.0b1", REG_EXPAND_SZ, false},  // not readable as text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.version != NULL ? c.version : "no Mozilla value");
    Scene scene;
    std::string exe = scene.Program("Program Files\\Netscape\\Communicator\\Program\\netscape.exe");
    scene.Register("Netscape.exe", exe);
    if (c.version != NULL) scene.SetMozillaVersion(c.version, c.type);
    ProbeReport report = scene.Discover();
    EXPECT_EQ(c.beta ? Netscape32(Quoted(exe), "", "") : Netscape32(Quoted(exe)), At(report, "Netscape32"));
    EXPECT_EQ("Netscape32", At(report, "Selected"));
    EXPECT_EQ("1100", Queries(report));
  }
}

TEST(DiscoveryTest, RegisteredPathsAreQuotedAndIniPathsAreNot) {
  Scene scene;
  std::string iexplore = scene.Program("Program Files\\Internet Explorer\\iexplore.exe");
  std::string mosaic = scene.Program("Mosaic\\mosaic.exe");
  std::string netscape16 = scene.Program("Net Scape\\netscape.exe");
  scene.Register("Netscape.exe", scene.Root() + "Missing\\netscape.exe");
  scene.Register("IEXPLORE.EXE", iexplore);
  scene.Register("mosaic.exe", mosaic);
  scene.WriteWindowsIni("NETSCAPE.INI", "[Cache]\r\nCache Dir=" + scene.Root() + "Net Scape\\CACHE\r\n");
  ProbeReport report = scene.Discover();
  EXPECT_EQ(kNone, At(report, "Netscape32"));
  EXPECT_EQ(IExplore(Quoted(iexplore)), At(report, "IExplore"));
  EXPECT_EQ(Mosaic(mosaic), At(report, "Mosaic"));
  EXPECT_EQ(Netscape16(netscape16), At(report, "Netscape16"));
  EXPECT_EQ(kNone, At(report, "MosaicIni"));
  EXPECT_EQ("IExplore", At(report, "Selected"));
  EXPECT_EQ("1011", Queries(report));
}

TEST(DiscoveryTest, NetscapeIniCacheDirectoryLeadsToTheProgram) {
  struct Case {
    const char* what;
    const char* windowsIni;   // NETSCAPE.INI, "" for none; %R is the root
    const char* fallbackIni;  // c:\netscape\netscape.ini
    bool found;
  };
  const Case cases[] = {
      {"cache dir", "[Cache]\r\nCache Dir=%RNETSCAPE\\CACHE\r\n", "", true},
      {"fallback file", "[Cache]\r\nOther=1\r\n", "[Cache]\r\nCache Dir=%RNETSCAPE\\CACHE\r\n", true},
      // Only the last element is cut: a trailing backslash leaves CACHE.
      {"trailing backslash", "[Cache]\r\nCache Dir=%RNETSCAPE\\CACHE\\\r\n", "", false},
      {"no cache dir", "[Main]\r\nCache Dir=%RNETSCAPE\\CACHE\r\n", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    std::string exe = scene.Program("NETSCAPE\\netscape.exe");
    if (*c.windowsIni) scene.WriteWindowsIni("NETSCAPE.INI", c.windowsIni);
    if (*c.fallbackIni) scene.WriteIni("c:\\netscape\\netscape.ini", c.fallbackIni);
    ProbeReport report = scene.Discover();
    EXPECT_EQ(c.found ? Netscape16(exe) : kNone, At(report, "Netscape16"));
    EXPECT_EQ(c.found ? "Netscape16" : "none", At(report, "Selected"));
    EXPECT_EQ(c.found ? "1000" : "0000", Queries(report));
  }
}

TEST(DiscoveryTest, MosaicIniLeadsToTheProgramWhenMosaicIsNotRegistered) {
  struct Case {
    const char* what;
    const char* windowsIni;   // MOSAIC.INI; %R is the root
    const char* fallbackIni;  // c:\mosaic\mosaic.ini
    std::function<void(Scene&)> registry;
    bool found;
  };
  auto unregistered = [](Scene&) {};
  const Case cases[] = {
      {"cache directory with trailing backslash", "[Document Caching]\r\nCache Directory=%RMOSAIC\\CACHE\\\r\n", "",
       unregistered, true},
      {"cache directory", "[Document Caching]\r\nCache Directory=%RMOSAIC\\CACHE\r\n", "", unregistered, true},
      {"global history file", "[Main]\r\nGlobal History File=%RMOSAIC\\global.hst\r\n", "", unregistered, true},
      {"fallback file", "", "[Document Caching]\r\nCache Directory=%RMOSAIC\\CACHE\\\r\n", unregistered, true},
      {"nothing in either file", "[Main]\r\nOther=1\r\n", "", unregistered, false},
      // A registration that can be read keeps the INI route closed, even when
      // it names a missing file or nothing at all.
      {"registered program missing", "[Document Caching]\r\nCache Directory=%RMOSAIC\\CACHE\\\r\n", "",
       [](Scene& s) { s.Register("mosaic.exe", s.Root() + "Elsewhere\\mosaic.exe"); }, false},
      {"registered path empty", "[Document Caching]\r\nCache Directory=%RMOSAIC\\CACHE\\\r\n", "",
       [](Scene& s) { s.Register("mosaic.exe", ""); }, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    std::string exe = scene.Program("MOSAIC\\mosaic.exe");
    if (*c.windowsIni) scene.WriteWindowsIni("MOSAIC.INI", c.windowsIni);
    if (*c.fallbackIni) scene.WriteIni("c:\\mosaic\\mosaic.ini", c.fallbackIni);
    c.registry(scene);
    ProbeReport report = scene.Discover();
    EXPECT_EQ(c.found ? MosaicIni(exe) : kNone, At(report, "MosaicIni"));
    EXPECT_EQ(kNone, At(report, "Mosaic"));
    EXPECT_EQ(c.found ? "0001" : "0000", Queries(report));
  }
}

TEST(DiscoveryTest, SystemHtmlBrowserIsSelectedAndFillsARecordDetectionMissed) {
  struct Case {
    const char* what;
    std::function<void(Scene&)> setUp;
    std::function<std::map<std::string, std::string>(Scene&)> records;  // records to check
    const char* selected;
    const char* queries;
  };
  const Case cases[] = {
      {"Internet Explorer in quotes with -nohome",
       [](Scene& s) {
         s.Register("Netscape.exe", s.Program("netscape.exe"));
         s.SetHtmlBrowser("\"" + s.Program("Program Files\\Internet Explorer\\iexplore.exe") + "\" -nohome");
       },
       [](Scene& s) {
         return std::map<std::string, std::string>{
             {"IExplore", IExplore(Quoted(s.Root() + "Program Files\\Internet Explorer\\iexplore.exe"))},
             {"Netscape32", Netscape32(s.Root() + "netscape.exe")}};
       },
       "IExplore", "1010"},
      {"a program named explorer counts as Internet Explorer",
       [](Scene& s) { s.SetHtmlBrowser(s.Program("Shell\\EXPLORER.EXE") + " %1"); },
       [](Scene& s) {
         return std::map<std::string, std::string>{{"IExplore", IExplore(s.Root() + "Shell\\EXPLORER.EXE")}};
       },
       "IExplore", "0010"},
      {"16-bit Netscape as the HTML browser fills the 32-bit record",
       [](Scene& s) {
         s.Program("NETSCAPE\\netscape.exe");
         s.WriteWindowsIni("NETSCAPE.INI", "[Cache]\r\nCache Dir=" + s.Root() + "NETSCAPE\\CACHE\r\n");
         s.SetHtmlBrowser(s.Root() + "NETSCAPE\\NETSCAPE.EXE %1");
       },
       [](Scene& s) {
         return std::map<std::string, std::string>{
             {"Netscape32", Netscape32(s.Root() + "NETSCAPE\\NETSCAPE.EXE", "", "Netscape")},
             {"Netscape16", Netscape16(s.Root() + "NETSCAPE\\netscape.exe")}};
       },
       "Netscape32", "1100"},
      {"a registered Mosaic keeps its values",
       [](Scene& s) {
         s.Register("IEXPLORE.EXE", s.Program("iexplore.exe"));
         s.Register("mosaic.exe", s.Program("Mosaic\\mosaic.exe"));
         s.SetHtmlBrowser(s.Program("Other Mosaic\\MOSAIC.EXE") + " %1");
       },
       [](Scene& s) {
         return std::map<std::string, std::string>{{"Mosaic", Mosaic(s.Root() + "Mosaic\\mosaic.exe")},
                                                   {"IExplore", IExplore(s.Root() + "iexplore.exe")}};
       },
       "Mosaic", "0011"},
      {"an unregistered Mosaic is filled from the command",
       [](Scene& s) { s.SetHtmlBrowser("\"" + s.Program("Web Mosaic\\mosaic.exe") + "\" \"%1\""); },
       [](Scene& s) {
         return std::map<std::string, std::string>{{"Mosaic", Mosaic(Quoted(s.Root() + "Web Mosaic\\mosaic.exe"))}};
       },
       "Mosaic", "0001"},
      {"a program of no known kind: first available",
       [](Scene& s) {
         s.Register("mosaic.exe", s.Program("mosaic.exe"));
         s.SetHtmlBrowser(s.Program("browse.exe") + " %1");
       },
       [](Scene& s) { return std::map<std::string, std::string>{{"IExplore", kNone}}; }, "Mosaic", "0001"},
      {"command cut at the hyphen names a missing path: first available",
       [](Scene& s) {
         s.Program("NETSCAPE\\netscape.exe");
         s.WriteWindowsIni("NETSCAPE.INI", "[Cache]\r\nCache Dir=" + s.Root() + "NETSCAPE\\CACHE\r\n");
         s.SetHtmlBrowser(s.Program("Tools\\web-view\\iexplore.exe") + " %1");
       },
       [](Scene& s) { return std::map<std::string, std::string>{{"IExplore", kNone}, {"Netscape32", kNone}}; },
       "Netscape16", "1000"},
      {"content type in another case: no class, first available",
       [](Scene& s) {
         s.Register("mosaic.exe", s.Program("mosaic.exe"));
         s.SetHtmlBrowser(s.Program("iexplore.exe") + " %1", "TEXT/HTML");
       },
       [](Scene& s) { return std::map<std::string, std::string>{{"IExplore", kNone}}; }, "Mosaic", "0001"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Scene scene;
    c.setUp(scene);
    ProbeReport report = scene.Discover();
    for (const auto& record : c.records(scene)) EXPECT_EQ(record.second, At(report, record.first.c_str())) << record.first;
    EXPECT_EQ(c.selected, At(report, "Selected"));
    EXPECT_EQ(c.queries, Queries(report));
  }
}

TEST(DiscoveryTest, SecondDiscoveryInTheProcessSeesNothingNew) {
  Scene scene;
  std::vector<ProbeReport> reports = RunProbe("discover --pause", [&scene] {
    scene.Register("IEXPLORE.EXE", scene.Program("iexplore.exe"));
    scene.Register("Netscape.exe", scene.Program("netscape.exe"));
  });
  ASSERT_EQ(2u, reports.size());
  EXPECT_EQ("0000", Queries(reports[0]));
  EXPECT_EQ(reports[0], reports[1]);
  // A fresh process sees the install.
  EXPECT_EQ("1110", Queries(scene.Discover()));
}

// Not part of discovery: it reads App Paths afresh on every call.
TEST(DiscoveryTest, IsNetscape32RegisteredReadsTheRegistryEveryTime) {
  Scene scene;
  EXPECT_EQ(0, IsNetscape32Registered());
  std::string exe = scene.Program("Program Files\\Netscape\\netscape.exe");
  scene.Register("Netscape.exe", "");
  EXPECT_EQ(0, IsNetscape32Registered());
  scene.Register("Netscape.exe", scene.Root() + "Missing\\netscape.exe");
  EXPECT_EQ(0, IsNetscape32Registered());
  scene.Register("Netscape.exe", exe);
  EXPECT_EQ(1, IsNetscape32Registered());
  scene.Register("Netscape.exe", Quoted(exe));  // a quoted path names no file
  EXPECT_EQ(0, IsNetscape32Registered());
  scene.Register("Netscape.exe", exe, REG_EXPAND_SZ);
  EXPECT_EQ(0, IsNetscape32Registered());
  EXPECT_FALSE(g_bBrowsersDiscovered);
}

}  // namespace
