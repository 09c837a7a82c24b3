// The proxy settings on the real registry of the prefix: the user's
// "Internet Settings" values, a dial-up connection's value below
// "Connections", and the [Connection Options] of ldglobal.ini in the data
// directory of user 0 (a scratch directory recorded as the product's
// "DefaultUserDataDir"). Every value touched is put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "ProxyEntries.h"
#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "inet/CProxySettings.h"
#include "inet/ProxyServerList.h"

namespace {

typedef std::vector<BYTE> Bytes;

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kConnections[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
const char kDialUp[] = "LDX Test Dial-up";

// The 8 leading bytes and the bytes after the list of the test's connection
// values: whatever they hold must come back unchanged.
const Bytes kHead = {0x46, 0x00, 0x00, 0x00, 0x2a, 0x01, 0x00, 0x00};
const Bytes kTail = {0x11, 0x00, 0x00, 0x00, 'l', 'o', 'c', 'a', 'l', 0x00, 0xfe, 0xff, 0x7f};

void AppendDword(Bytes& bytes, DWORD value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<BYTE>(value >> (8 * i)));
}

Bytes ConnectionValue(DWORD flags, const std::string& list, const Bytes& tail = kTail) {
  Bytes value = kHead;
  AppendDword(value, flags);
  AppendDword(value, static_cast<DWORD>(list.size()));
  value.insert(value.end(), list.begin(), list.end());
  value.insert(value.end(), tail.begin(), tail.end());
  return value;
}

class ProxySettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"ProxyEnable", "ProxyServer", "AutoConfigURL"})
      m_sandbox.RemoveValue(HKEY_CURRENT_USER, kInternetSettings, name);
    m_sandbox.TrackKey(HKEY_CURRENT_USER, kConnections);
    m_sandbox.RemoveValue(HKEY_CURRENT_USER, kConnections, kDialUp);
    m_sandbox.SetString(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir", m_users.Path());
    CreateDirectoryA((m_users / "User1").c_str(), NULL);
    UseDialUp(false);
  }

  // The user's [Connection Options] in ldglobal.ini.
  void WriteConnectionOptions(const std::string& options) {
    ScratchDir::WriteFile(m_users / "User1\\ldglobal.ini", "[Connection Options]\r\n" + options);
  }
  void UseDialUp(bool enabled) {
    WriteConnectionOptions(std::string("ModemEnabled=") + (enabled ? "1" : "0") + "\r\nModemProfile=" + kDialUp +
                           "\r\n");
  }

  void SetMachineWide(const char* name, DWORD type, const void* data, DWORD size) {
    m_sandbox.TrackValue(HKEY_CURRENT_USER, kInternetSettings, name);
    WriteRaw(HKEY_CURRENT_USER, kInternetSettings, name, type, data, size);
  }
  void SetEnableDword(DWORD value) { m_sandbox.SetDword(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable", value); }
  void SetEnableBinary(DWORD value, DWORD size = 4) { SetMachineWide("ProxyEnable", REG_BINARY, &value, size); }
  void SetServer(const std::string& list) {
    m_sandbox.SetString(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer", list);
  }

  void SetConnectionValue(const Bytes& value) {
    WriteRaw(HKEY_CURRENT_USER, kConnections, kDialUp, REG_BINARY, value.data(), static_cast<DWORD>(value.size()));
  }
  Bytes ConnectionValueNow() {
    DWORD type = REG_NONE;
    Bytes data;
    EXPECT_TRUE(ReadRaw(HKEY_CURRENT_USER, kConnections, kDialUp, &type, &data));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    return data;
  }
  // The machine-wide "ProxyEnable" as type and bytes.
  std::pair<DWORD, Bytes> EnableValueNow() {
    std::pair<DWORD, Bytes> value(REG_NONE, Bytes());
    ReadRaw(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable", &value.first, &value.second);
    return value;
  }

  RegistrySandbox m_sandbox;
  ScratchDir m_users{"ldxproxy"};
};

TEST_F(ProxySettingsTest, StartsEmptyAndReadsTheConnectionOptions) {
  CProxySettings proxy;
  EXPECT_FALSE(proxy.IsEnabled());
  EXPECT_STREQ("", proxy.GetHost());
  EXPECT_STREQ("", proxy.GetPort());
  EXPECT_STREQ("http", proxy.m_strProtocol);
  EXPECT_EQ(-1, proxy.m_nConnectionMode);

  EXPECT_FALSE(CProxySettings::IsModemEnabled());
  EXPECT_STREQ(kDialUp, CProxySettings::GetModemProfile());
  WriteConnectionOptions("ModemEnabled=0x10\r\n");
  EXPECT_TRUE(CProxySettings::IsModemEnabled());
  EXPECT_STREQ("", CProxySettings::GetModemProfile());
  DeleteFileA((m_users / "User1\\ldglobal.ini").c_str());
  EXPECT_FALSE(CProxySettings::IsModemEnabled());
}

TEST_F(ProxySettingsTest, MachineWideProxyEnabled) {
  struct Case {
    const char* what;
    int enableType;  // 0: missing, else REG_DWORD or REG_BINARY
    DWORD enable;
    DWORD binarySize;
    const char* autoConfigUrl;  // NULL: missing
    BOOL expected;
  } const cases[] = {
      {"integer 1", REG_DWORD, 1, 0, NULL, TRUE},
      {"integer 0", REG_DWORD, 0, 0, NULL, FALSE},
      {"integer 0 with a configuration script", REG_DWORD, 0, 0, "http://config.example/proxy.pac", TRUE},
      {"integer 0 with an empty script address", REG_DWORD, 0, 0, "", FALSE},
      {"binary 1", REG_BINARY, 1, 4, NULL, TRUE},
      {"binary 0 with a configuration script", REG_BINARY, 0, 4, "http://config.example/proxy.pac", FALSE},
      {"binary of one byte", REG_BINARY, 1, 1, NULL, TRUE},
      {"missing, with a configuration script", 0, 0, 0, "http://config.example/proxy.pac", FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_sandbox.RemoveValue(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable");
    m_sandbox.SetStringOrRemove(HKEY_CURRENT_USER, kInternetSettings, "AutoConfigURL", c.autoConfigUrl);
    if (c.enableType == REG_DWORD) SetEnableDword(c.enable);
    if (c.enableType == REG_BINARY) SetEnableBinary(c.enable, c.binarySize);
    CProxySettings proxy;
    EXPECT_EQ(c.expected, proxy.ReadProxyEnabled());
    EXPECT_FALSE(proxy.UsesConnectionSettings());
    EXPECT_STREQ(kInternetSettings, proxy.GetSettingsKeyPath());
  }
}

TEST_F(ProxySettingsTest, LoadGivesTheHttpProxyOfTheList) {
  struct Case {
    const char* list;  // NULL: no "ProxyServer"
    BOOL enabled;
    const char* host;
    const char* port;
  } const cases[] = {
      {"proxy:8080", TRUE, "proxy", "8080"},
      {"ftp=f:21;HTTP=h:80", TRUE, "h", "80"},
      {"http=h", TRUE, "h", ""},
      {"proxy:8080; ", TRUE, "proxy", "8080"},
      {"ftp=f:21", FALSE, "", ""},
      {"", FALSE, "", ""},
      {NULL, FALSE, "", ""},
  };
  SetEnableDword(1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list != NULL ? c.list : "(no list)");
    m_sandbox.SetStringOrRemove(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer", c.list);
    CProxySettings proxy;
    CString list("untouched");
    EXPECT_EQ(c.list != NULL, proxy.ReadProxyServer(list) != FALSE);
    EXPECT_STREQ(c.list != NULL ? c.list : "untouched", list);
    proxy.Load();
    EXPECT_EQ(c.enabled, proxy.IsEnabled());
    EXPECT_STREQ(c.host, proxy.GetHost());
    EXPECT_STREQ(c.port, proxy.GetPort());
  }
}

// Each Load starts from nothing: an entry that left the list is no longer
// used, and the one-proxy flag of an earlier list does not stay.
TEST_F(ProxySettingsTest, SecondLoadForgetsTheFirst) {
  SetEnableDword(1);
  CProxySettings proxy;
  SetServer("old:1");
  proxy.Load();
  ASSERT_STREQ("old", proxy.GetHost());
  ASSERT_TRUE(proxy.m_bOneProxyForAll);

  SetServer("ftp=f:21");
  proxy.Load();
  EXPECT_FALSE(proxy.IsEnabled());
  EXPECT_STREQ("", proxy.GetHost());
  EXPECT_STREQ("", proxy.GetPort());
  EXPECT_FALSE(proxy.m_bOneProxyForAll);
  EXPECT_EQ(1, proxy.m_mapEntries.GetCount());

  SetServer("HTTP=h:80");
  proxy.Load();
  SetServer("http=l");
  proxy.Load();
  EXPECT_STREQ("http", proxy.m_strProtocol);
  EXPECT_STREQ("l", proxy.GetHost());
  EXPECT_STREQ("", proxy.GetPort()) << "the port of the earlier list";

  // With the one-proxy flag gone, the list is written back whole.
  SetServer("ftp=f:21;http=h:80");
  proxy.Load();
  ASSERT_TRUE(proxy.SetProxyServer("n:1"));
  EXPECT_EQ((Entries{{"ftp", "f:21"}, {"http", "n:1"}}),
            ParsedEntries(ReadRawString(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer").c_str()));
}

TEST_F(ProxySettingsTest, SetProxyServerWritesTheListAndSwitchesTheProxyOn) {
  struct Case {
    const char* list;
    const char* server;
    bool oneProxy;  // a list of one proxy for all protocols
    Entries written;
    const char* host;
    const char* port;
  } const cases[] = {
      {"proxy:8080", "other:3128", true, {{"http", "other:3128"}}, "other", "3128"},
      {"proxy:8080;ftp=f:21", "other:3128", true, {{"http", "other:3128"}}, "other", "3128"},
      {"ftp=f:21;HTTP=h:80", "n:1", false, {{"ftp", "f:21"}, {"HTTP", "n:1"}}, "n", "1"},
      {"ftp=f:21", "n:1", false, {{"ftp", "f:21"}, {"http", "n:1"}}, "n", "1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    SetEnableDword(0);
    SetServer(c.list);
    CProxySettings proxy;
    proxy.Load();
    EXPECT_TRUE(proxy.SetProxyServer(c.server));
    std::string written = ReadRawString(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer");
    EXPECT_EQ(c.written, ParsedEntries(written.c_str())) << written;
    EXPECT_EQ(c.oneProxy, proxy.m_bOneProxyForAll != FALSE);
    if (proxy.m_bOneProxyForAll) {
      EXPECT_EQ(c.server, written) << "a one-proxy list is the server alone";
    }
    EXPECT_TRUE(proxy.IsEnabled());
    EXPECT_TRUE(proxy.ReadProxyEnabled());
    // The getters give the proxy now in use.
    EXPECT_STREQ(c.host, proxy.GetHost());
    EXPECT_STREQ(c.port, proxy.GetPort());
  }
}

// "ProxyEnable" keeps the form it has: binary (of its size) or an integer;
// an integer when it is missing.
TEST_F(ProxySettingsTest, MachineWideSwitchKeepsTheValuesForm) {
  struct Case {
    const char* what;
    int type;  // 0: missing
    DWORD size;
    BOOL enable;
    DWORD writtenType;
    Bytes written;
  } const cases[] = {
      {"binary on", REG_BINARY, 4, TRUE, REG_BINARY, {1, 0, 0, 0}},
      {"binary off", REG_BINARY, 4, FALSE, REG_BINARY, {0, 0, 0, 0}},
      {"binary of one byte", REG_BINARY, 1, TRUE, REG_BINARY, {1}},
      {"integer on", REG_DWORD, 4, TRUE, REG_DWORD, {1, 0, 0, 0}},
      {"integer off", REG_DWORD, 4, FALSE, REG_DWORD, {0, 0, 0, 0}},
      {"missing", 0, 0, TRUE, REG_DWORD, {1, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    m_sandbox.RemoveValue(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable");
    DWORD before = c.enable ? 0 : 0x01010101;
    if (c.type == REG_BINARY) SetEnableBinary(before, c.size);
    if (c.type == REG_DWORD) SetEnableDword(before);
    CProxySettings proxy;
    EXPECT_TRUE(c.enable ? proxy.SetProxyEnabled(TRUE) : proxy.Disable());
    EXPECT_EQ(std::make_pair(c.writtenType, c.written), EnableValueNow());
  }
}

TEST_F(ProxySettingsTest, DialUpConnectionValue) {
  struct Case {
    DWORD flags;
    BOOL enabled;
  } const cases[] = {{2, TRUE}, {4, TRUE}, {6, TRUE}, {0, FALSE}, {0x109, FALSE}, {0x10b, TRUE}};
  UseDialUp(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.flags);
    SetConnectionValue(ConnectionValue(c.flags, "ftp=f:21;HTTP=dial:80"));
    SetEnableDword(c.enabled ? 0 : 1);  // the machine-wide values say otherwise
    SetServer("machine:1");
    CProxySettings proxy;
    EXPECT_TRUE(proxy.UsesConnectionSettings());
    EXPECT_STREQ(kConnections, proxy.GetSettingsKeyPath());
    EXPECT_EQ(c.enabled, proxy.ReadProxyEnabled());
    CString list;
    EXPECT_TRUE(proxy.ReadProxyServer(list));
    EXPECT_STREQ("ftp=f:21;HTTP=dial:80", list);
    proxy.Load();
    EXPECT_EQ(c.enabled, proxy.IsEnabled());
    EXPECT_STREQ("dial", proxy.GetHost());
    EXPECT_STREQ("80", proxy.GetPort());
  }
}

// A value that outgrows the first 512-byte read is read on the second try
// (the value with the list "p:1" is 19 bytes plus its tail).
TEST_F(ProxySettingsTest, LargeConnectionValue) {
  UseDialUp(true);
  std::string host(600, 'h');
  for (size_t tailSize : {size_t(0), size_t(492), size_t(493), size_t(494), size_t(2000)}) {
    SCOPED_TRACE(tailSize);
    Bytes tail(tailSize, 0x5a);
    std::string list = tailSize == 0 ? "http=" + host + ":8080" : "p:1";
    SetConnectionValue(ConnectionValue(2, list, tail));
    CProxySettings proxy;
    ASSERT_TRUE(proxy.UsesConnectionSettings());
    proxy.Load();
    EXPECT_TRUE(proxy.IsEnabled());
    EXPECT_EQ(tailSize == 0 ? host : "p", std::string(proxy.GetHost()));
  }
}

TEST_F(ProxySettingsTest, DialUpModeIsDecidedOnceForTheObject) {
  UseDialUp(true);
  SetEnableDword(1);
  SetServer("machine:1");
  CProxySettings proxy;
  EXPECT_FALSE(proxy.UsesConnectionSettings()) << "no value for the connection";
  SetConnectionValue(ConnectionValue(2, "dial:80"));
  EXPECT_FALSE(proxy.UsesConnectionSettings());
  proxy.Load();
  EXPECT_STREQ("machine", proxy.GetHost());

  CProxySettings later;
  EXPECT_TRUE(later.UsesConnectionSettings());
  UseDialUp(false);
  EXPECT_TRUE(later.UsesConnectionSettings());
  CProxySettings modemOff;
  EXPECT_FALSE(modemOff.UsesConnectionSettings());

  // A value of another type is no connection value.
  UseDialUp(true);
  WriteRaw(HKEY_CURRENT_USER, kConnections, kDialUp, REG_SZ, "dial:80", 8);
  CProxySettings text;
  EXPECT_FALSE(text.UsesConnectionSettings());
}

// Rewriting the list keeps every byte before and after it; the bytes after
// move by the change in length.
TEST_F(ProxySettingsTest, DialUpRewriteKeepsTheRestOfTheValue) {
  UseDialUp(true);
  struct Case {
    const char* list;
    const char* server;
    const char* written;
  } const cases[] = {
      {"p:1", "a-much-longer-proxy-name.example:3128", "a-much-longer-proxy-name.example:3128"},
      {"a-much-longer-proxy-name.example:3128", "p:1", "p:1"},
      {"http=h:80", "n:2", "http=n:2"},
      {"", "n:2", "http=n:2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    SetConnectionValue(ConnectionValue(0x109, c.list));
    CProxySettings proxy;
    proxy.Load();
    EXPECT_TRUE(proxy.SetProxyServer(c.server));
    EXPECT_EQ(ConnectionValue(0x10b, c.written), ConnectionValueNow());
    EXPECT_TRUE(proxy.Disable());
    EXPECT_EQ(ConnectionValue(0x109, c.written), ConnectionValueNow());
  }
}

// A zero byte in the connection value's list ends the list text: it is read
// that far, the proxy is judged by that text, and a rewrite replaces the
// whole list.
TEST_F(ProxySettingsTest, ZeroByteEndsTheConnectionValuesList) {
  UseDialUp(true);
  struct Case {
    std::string list;
    const char* read;
    BOOL enabled;
    const char* host;
    const char* written;  // after SetProxyServer("n:2")
  };
  const Case cases[] = {
      {std::string("\0http=h:1", 9), "", FALSE, "", "http=n:2"},
      {std::string("http=h:1\0;ftp=f:2", 17), "http=h:1", TRUE, "h", "http=n:2"},
      {std::string("p:1\0ftp=f:2", 11), "p:1", TRUE, "p", "n:2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.read);
    SetConnectionValue(ConnectionValue(2, c.list));
    CProxySettings proxy;
    CString list("untouched");
    ASSERT_TRUE(proxy.ReadProxyServer(list));
    EXPECT_STREQ(c.read, list);
    EXPECT_EQ(static_cast<int>(strlen(c.read)), list.GetLength());
    proxy.Load();
    EXPECT_EQ(c.enabled, proxy.IsEnabled());
    EXPECT_STREQ(c.host, proxy.GetHost());
    EXPECT_EQ(static_cast<int>(strlen(c.host)), proxy.GetHost().GetLength());
    EXPECT_TRUE(proxy.SetProxyServer("n:2"));
    EXPECT_EQ(ConnectionValue(2, c.written), ConnectionValueNow());
  }
}

// A connection value too short for its header, or whose length field runs
// past its end, is unreadable: nothing is read from or written to it.
TEST_F(ProxySettingsTest, DamagedConnectionValueIsNeitherReadNorWritten) {
  UseDialUp(true);
  Bytes fine = ConnectionValue(2, "dial:80", Bytes());
  Bytes overlong = fine;
  overlong[12] = 8;  // one byte more than the value holds
  Bytes huge = fine;
  huge[15] = 0xff;
  Bytes headerOnly(fine.begin(), fine.begin() + 16);
  headerOnly[12] = 1;
  struct Case {
    const char* what;
    Bytes value;
  } const cases[] = {
      {"length one past the end", overlong},
      {"length far past the end", huge},
      {"header only, length 1", headerOnly},
      {"shorter than the header", Bytes(fine.begin(), fine.begin() + 12)},
      {"flags cut off", Bytes(fine.begin(), fine.begin() + 9)},
      {"empty", Bytes()},
  };
  SetEnableDword(1);
  SetServer("machine:1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetConnectionValue(c.value);
    CProxySettings proxy;
    EXPECT_TRUE(proxy.UsesConnectionSettings());
    EXPECT_FALSE(proxy.ReadProxyEnabled());
    CString list("untouched");
    EXPECT_FALSE(proxy.ReadProxyServer(list));
    EXPECT_STREQ("untouched", list);
    proxy.Load();
    EXPECT_FALSE(proxy.IsEnabled());
    EXPECT_STREQ("", proxy.GetHost());

    EXPECT_FALSE(proxy.SetProxyEnabled(TRUE));
    EXPECT_FALSE(proxy.Disable());
    EXPECT_FALSE(proxy.SetProxyServer("n:1"));
    EXPECT_FALSE(proxy.IsEnabled()) << "the getters report what is stored";
    EXPECT_STREQ("", proxy.GetHost());
    EXPECT_STREQ("", proxy.GetPort());
    EXPECT_EQ(c.value, ConnectionValueNow());
    EXPECT_EQ("machine:1", ReadRawString(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer"));
  }
  // The largest length that fits is read.
  Bytes exact = fine;
  SetConnectionValue(exact);
  CProxySettings proxy;
  CString list;
  EXPECT_TRUE(proxy.ReadProxyServer(list));
  EXPECT_STREQ("dial:80", list);
}

}  // namespace
