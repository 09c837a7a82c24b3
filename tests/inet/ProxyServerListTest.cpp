#include <gtest/gtest.h>

#include <string>

#include "ProxyEntries.h"
#include "inet/ProxyServerList.h"

namespace {

TEST(ProxyServerList, ParsesEntriesAndPicksTheHttpProxy) {
  struct Case {
    const char* list;
    Entries entries;
    const char* protocol;
    BOOL oneProxyForAll;
    const char* host;
    const char* port;
  };
  const Case cases[] = {
      {"proxy:8080", {{"http", "proxy:8080"}}, "http", TRUE, "proxy", "8080"},
      {"ftp=f:21;HTTP=h:80", {{"ftp", "f:21"}, {"HTTP", "h:80"}}, "HTTP", FALSE, "h", "80"},
      {"http=h", {{"http", "h"}}, "http", FALSE, "h", ""},
      {" ftp = f:21 ;  http = h : 80 ", {{"ftp", "f:21"}, {"http", "h : 80"}}, "http", FALSE, "h", "80"},
      {"proxy:8080;ftp=f:21", {{"http", "proxy:8080"}, {"ftp", "f:21"}}, "http", TRUE, "proxy", "8080"},
      {"http=a:1;http=b:2", {{"http", "b:2"}}, "http", FALSE, "b", "2"},
      {"http=h:80;p:1", {{"http", "p:1"}}, "http", TRUE, "p", "1"},
      {"Http=a:1;http=b:2", {{"Http", "a:1"}, {"http", "b:2"}}, "http", FALSE, "b", "2"},
      {"ftp=f:21", {{"ftp", "f:21"}}, "http", FALSE, "", ""},
      {"http=", {{"http", ""}}, "http", FALSE, "", ""},
      {"socks=s:1080;https=s:443=x", {{"socks", "s:1080"}, {"https", "s:443=x"}}, "http", FALSE, "", ""},
      {"", {}, "http", FALSE, "", ""},
      // Empty entries and empty keys name no proxy and are skipped: a list
      // that ends in "; " still uses its proxy.
      {"proxy:8080; ", {{"http", "proxy:8080"}}, "http", TRUE, "proxy", "8080"},
      {"proxy:8080;", {{"http", "proxy:8080"}}, "http", TRUE, "proxy", "8080"},
      {";;a:1;; ;", {{"http", "a:1"}}, "http", TRUE, "a", "1"},
      {"=x:1;http=h:2", {{"http", "h:2"}}, "http", FALSE, "h", "2"},
      // Only blanks are trimmed: a tab or a line break belongs to the entry.
      {" ; \t;", {{"http", "\t"}}, "http", TRUE, "\t", ""},
      {"http= \th:1\n ", {{"http", "\th:1\n"}}, "http", FALSE, "\th", "1\n"},
      {"\thttp=h:1", {{"\thttp", "h:1"}}, "http", FALSE, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    CMapStringToString map(10);
    CString protocol("http");
    BOOL oneProxyForAll = FALSE;
    ParseProxyServerList(c.list, map, protocol, oneProxyForAll);
    EXPECT_EQ(c.entries, EntriesOf(map));
    EXPECT_STREQ(c.protocol, protocol);
    EXPECT_EQ(c.oneProxyForAll, oneProxyForAll);

    CString entry, host, port;
    if (map.Lookup(protocol, entry)) SplitProxyHostPort(entry, host, port);
    EXPECT_STREQ(c.host, host);
    EXPECT_STREQ(c.port, port);
  }
}

// A list may hold a zero byte (a connection value's list is raw bytes): the
// text ends there, for the parser and for the host-and-port split alike.
TEST(ProxyServerList, TextEndsAtItsFirstZeroByte) {
  struct Case {
    std::string list;
    Entries entries;
    BOOL oneProxyForAll;
  };
  const Case cases[] = {
      {std::string("\0http=h:1", 9), {}, FALSE},
      {std::string("http=h:1\0;ftp=f:2", 17), {{"http", "h:1"}}, FALSE},
      {std::string("ftp=f:2;p:1\0x=y", 15), {{"ftp", "f:2"}, {"http", "p:1"}}, TRUE},
      {std::string("ftp=f\0:2", 8), {{"ftp", "f"}}, FALSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list.size());
    CMapStringToString map(10);
    CString protocol("http");
    BOOL oneProxyForAll = FALSE;
    ParseProxyServerList(CString(c.list.data(), static_cast<int>(c.list.size())), map, protocol, oneProxyForAll);
    EXPECT_EQ(c.entries, EntriesOf(map));
    EXPECT_EQ(c.oneProxyForAll, oneProxyForAll);
  }

  CString host("old"), port("kept");
  SplitProxyHostPort(CString("h \0:80", 6), host, port);
  EXPECT_STREQ("h", host);
  EXPECT_STREQ("kept", port);
  EXPECT_EQ(1, host.GetLength());
  SplitProxyHostPort(CString("h:8\0x", 5), host, port);
  EXPECT_STREQ("8", port);
  EXPECT_EQ(1, port.GetLength());
}

TEST(ProxyServerList, AddsToWhatTheMapHolds) {
  CMapStringToString map(10);
  map["ftp"] = "old:21";
  map["gopher"] = "g:70";
  CString protocol("http");
  BOOL oneProxyForAll = TRUE;
  ParseProxyServerList("ftp=new:21", map, protocol, oneProxyForAll);
  EXPECT_EQ((Entries{{"ftp", "new:21"}, {"gopher", "g:70"}}), EntriesOf(map));
  EXPECT_TRUE(oneProxyForAll) << "parsing never clears the flag";
}

TEST(ProxyServerList, SplitsHostAndPort) {
  struct Case {
    const char* text;
    const char* host;
    const char* port;
  } const cases[] = {
      {"h:80", "h", "80"},
      {" h : 80 ", "h", "80"},
      {"h", "h", "kept"},
      {"h:", "h", ""},
      {":80", "", "80"},
      {"h:80:90", "h", "80:90"},
      {"", "", "kept"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    CString host("old"), port("kept");
    SplitProxyHostPort(c.text, host, port);
    EXPECT_STREQ(c.host, host);
    EXPECT_STREQ(c.port, port);
  }
}

TEST(ProxyServerList, JoinsEveryNamedEntryAndParsesBack) {
  CMapStringToString map(10);
  map["ftp"] = "f:21";
  map["HTTP"] = "h:80";
  map["https"] = "s:443";
  map[""] = "unnamed:1";
  CString list = JoinProxyServerList(map);
  EXPECT_EQ(std::string::npos, std::string(list).find("unnamed")) << list;
  EXPECT_EQ(static_cast<int>(strlen("ftp=f:21;HTTP=h:80;https=s:443")), list.GetLength()) << list;

  EXPECT_EQ((Entries{{"ftp", "f:21"}, {"HTTP", "h:80"}, {"https", "s:443"}}), ParsedEntries(list));

  EXPECT_STREQ("", JoinProxyServerList(CMapStringToString(10)));
}

}  // namespace
