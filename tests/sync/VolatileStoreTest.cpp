// Values shared between processes: registration, set and get across a
// second process, one atom reference per name, and the length limit.
#include <gtest/gtest.h>
#include <windows.h>

#include <ctype.h>

#include <string>

#include "PeerProcess.h"
#include "SyncTestHost.h"
#include "sync/CVolatileStore.h"

namespace {

std::string Value(CVolatileStore& store) {
  CString value;
  EXPECT_TRUE(store.Get(value));
  return static_cast<LPCSTR>(value);
}

bool AtomExists(const std::string& text) { return GlobalFindAtomA(text.c_str()) != 0; }

TEST(VolatileStore, NamesAreFormedFromTheValueName) {
  CVolatileStore store("Query");
  EXPECT_STREQ(store.m_strPropName, "LdVltlOpt_Query");
  EXPECT_STREQ(store.m_strMutexName, "LdVltlMtx_Query");
  EXPECT_STREQ(store.m_strRegName, "LdVltlRc_Query");
  EXPECT_EQ(store.m_atomReg, 0);
}

TEST(VolatileStore, SetNeedsARegistrationAndGetWorksWithout) {
  std::string name = UniqueName("Unset");
  CVolatileStore store(name.c_str());
  EXPECT_EQ(Value(store), "") << "nothing set yet";
  EXPECT_FALSE(store.Set("early"));
  ASSERT_TRUE(store.Register());
  EXPECT_TRUE(store.Set("compass"));
  EXPECT_EQ(Value(store), "compass");
  store.Unregister();
  EXPECT_FALSE(store.Set("late"));
  EXPECT_EQ(Value(store), "compass") << "the value outlives the registration";
}

TEST(VolatileStore, DestroyingARegisteredObjectWithdrawsItsRegistration) {
  std::string name = UniqueName("Withdrawn");
  CVolatileStore reader(name.c_str());
  {
    CVolatileStore writer(name.c_str());
    ASSERT_TRUE(writer.Register());
    ASSERT_TRUE(writer.Set("kept"));
  }
  EXPECT_FALSE(reader.Set("refused"));
  EXPECT_EQ(Value(reader), "kept");
}

TEST(VolatileStore, RegisteringTwiceHoldsOneReference) {
  std::string name = UniqueName("Twice");
  CVolatileStore store(name.c_str());
  ASSERT_TRUE(store.Register());
  ASSERT_TRUE(store.Register());
  store.Unregister();
  EXPECT_FALSE(AtomExists(store.m_strRegName.operator LPCSTR())) << "a registration outlived Unregister";
  EXPECT_FALSE(store.Set("refused"));
}

TEST(VolatileStore, ValuesUpToTheAtomLimitAreAccepted) {
  std::string name = UniqueName("Long");
  CVolatileStore store(name.c_str());
  ASSERT_TRUE(store.Register());
  ASSERT_TRUE(store.Set("short"));
  const struct {
    size_t length;
    bool accepted;
  } cases[] = {{255, true}, {256, false}, {1000, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    std::string text(c.length, static_cast<char>('a' + c.length % 26));
    std::string before = Value(store);
    EXPECT_EQ(store.Set(text.c_str()), c.accepted ? TRUE : FALSE);
    EXPECT_EQ(Value(store), c.accepted ? text : before);
  }
  EXPECT_FALSE(store.Set("")) << "an empty text is no atom";
}

TEST(VolatileStore, EachNameHoldsOneReferenceOfItsText) {
  std::string text = UniqueName("shared text");
  CVolatileStore first(UniqueName("First").c_str()), second(UniqueName("Second").c_str());
  ASSERT_TRUE(first.Register());
  ASSERT_TRUE(second.Register());

  // The same text again and again: still one reference for the name.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(first.Set(text.c_str()));
  EXPECT_EQ(Value(first), text);
  ASSERT_TRUE(first.Set("first's own"));
  EXPECT_FALSE(AtomExists(text)) << "references of repeated sets were never given back";

  // Two names with one text: replacing one leaves the other alone.
  ASSERT_TRUE(first.Set(text.c_str()));
  ASSERT_TRUE(second.Set(text.c_str()));
  ASSERT_TRUE(first.Set("first again"));
  EXPECT_EQ(Value(second), text);
  ASSERT_TRUE(second.Set("second's own"));
  EXPECT_FALSE(AtomExists(text));
}

// The atom that the name's property holds, and that atom's text.
std::string StoredForm(CVolatileStore& store) {
  ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(GetDesktopWindow(), store.m_strPropName)));
  char text[300] = "";
  if (atom != 0) GlobalGetAtomNameA(atom, text, sizeof text);
  return text;
}

TEST(VolatileStore, EveryAcceptedTextReadsBackExactly) {
  CVolatileStore first(UniqueName("ExactFirst").c_str()), second(UniqueName("ExactSecond").c_str());
  ASSERT_TRUE(first.Register());
  ASSERT_TRUE(second.Register());
  CVolatileStore* stores[] = {&first, &second};
  // Atom names ignore letter case and "#NNNN" names integer atoms; each
  // step sets one store and checks both.
  const struct {
    int store;
    const char* text;
    const char* firstAfter;
    const char* secondAfter;
  } steps[] = {
      {0, "Hello", "Hello", ""},
      {0, "HELLO", "HELLO", ""},
      {1, "hello", "HELLO", "hello"},
      {1, "Hello", "HELLO", "Hello"},
      {0, "hello", "hello", "Hello"},
      {0, "#0012", "#0012", "Hello"},
      {1, "#12", "#0012", "#12"},
      {0, "#99999", "#99999", "#12"},
      {1, "#", "#99999", "#"},
      {0, "#0", "#0", "#"},
      {1, "#49152", "#0", "#49152"},
      {0, "\x01", "\x01", "#49152"},
      {1, "\x01" "HELLO\x01", "\x01", "\x01" "HELLO\x01"},
      {0, "\xC0\xE9t\xE9 \xC9T\xC9", "\xC0\xE9t\xE9 \xC9T\xC9", "\x01" "HELLO\x01"},
      {1, "\xE0\xC9T\xC9 \xE9t\xE9", "\xC0\xE9t\xE9 \xC9T\xC9", "\xE0\xC9T\xC9 \xE9t\xE9"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.text);
    EXPECT_TRUE(stores[step.store]->Set(step.text));
    EXPECT_EQ(Value(first), step.firstAfter);
    EXPECT_EQ(Value(second), step.secondAfter);
  }

  std::string everyByte;  // 0x01 not first, where it would open an encoded form
  for (int c = 2; c < 256; ++c) everyByte += static_cast<char>(c);
  everyByte += '\x01';
  ASSERT_TRUE(first.Set(everyByte.c_str()));
  EXPECT_EQ(Value(first), everyByte);
}

TEST(VolatileStore, ATextThatCannotBeStoredExactlyIsRefusedAndTheOldValueKept) {
  CVolatileStore first(UniqueName("LimitFirst").c_str()), second(UniqueName("LimitSecond").c_str());
  ASSERT_TRUE(first.Register());
  ASSERT_TRUE(second.Register());
  // Texts of this process only: values outlive the process that set them.
  std::string lower = UniqueName("q"), upper;
  lower.insert(0, 255 - lower.size(), 'q');
  for (char c : lower) upper += static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(first.Set(lower.c_str()));
  ASSERT_TRUE(second.Set("kept"));
  // Taken by the other name in another case, the text needs more room than
  // an atom name has.
  EXPECT_FALSE(second.Set(upper.c_str()));
  EXPECT_EQ(Value(second), "kept");
  EXPECT_EQ(Value(first), lower);
  ASSERT_TRUE(first.Set("released"));
  EXPECT_TRUE(second.Set(upper.c_str())) << "with nobody holding the other case it fits";
  EXPECT_EQ(Value(second), upper);
}

TEST(VolatileStore, TextsWithoutACaseOrNumberClashAreStoredAsTheyAre) {
  // So that a process of an older build, which reads the atom's text as it
  // is, reads them too.
  CVolatileStore store(UniqueName("Plain").c_str());
  ASSERT_TRUE(store.Register());
  for (const char* text : {"compass rose", "C:\\Program Files\\Lodestar\\", "#7", "Mixed Case 12"}) {
    ASSERT_TRUE(store.Set(text));
    EXPECT_EQ(StoredForm(store), text);
  }
}

TEST(VolatileStore, ANameKeepsNoMoreAtomsThanItsValueNeeds) {
  // The registration goes with the last unregistration; the value and the
  // property (whose name is an atom) stay readable, and earlier values of
  // the name, in any spelling, are given back.
  const std::string earlier = UniqueName("Earlier");
  std::string upper = earlier;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  const std::string lastValue = UniqueName("last value");
  CVolatileStore store(UniqueName("Kept").c_str());
  ASSERT_TRUE(store.Register());
  for (const std::string& text : {earlier, upper, std::string("#0001"), earlier, lastValue}) {
    ASSERT_TRUE(store.Set(text.c_str()));
  }
  store.Unregister();
  EXPECT_FALSE(AtomExists(store.m_strRegName.operator LPCSTR()));
  EXPECT_FALSE(AtomExists(earlier)) << "an earlier value was kept (names ignore case)";
  EXPECT_FALSE(AtomExists("\x01#0001")) << "an earlier encoded value was kept";
  EXPECT_TRUE(AtomExists(lastValue));
  EXPECT_TRUE(AtomExists(store.m_strPropName.operator LPCSTR()));
  EXPECT_EQ(Value(store), lastValue);
}

TEST(VolatileStoreProcesses, ValuesTravelBothWays) {
  std::string name = UniqueName("Travel");
  PeerProcess peer;
  EXPECT_EQ(peer.Ask("get " + name), "1|") << "nothing set yet";
  ASSERT_EQ(peer.Ask("register " + name), "1");
  ASSERT_EQ(peer.Ask("set " + name + " compass rose"), "1");

  CVolatileStore store(name.c_str());
  EXPECT_EQ(Value(store), "compass rose");
  EXPECT_TRUE(store.Set("north")) << "the peer's registration is in force";
  EXPECT_EQ(peer.Ask("get " + name), "1|north");
}

TEST(VolatileStoreProcesses, EncodedValuesReadBackExactlyInBothProcesses) {
  std::string first = UniqueName("EncodedFirst"), second = UniqueName("EncodedSecond");
  CVolatileStore firstStore(first.c_str()), secondStore(second.c_str());
  ASSERT_TRUE(firstStore.Register());
  ASSERT_TRUE(secondStore.Register());
  const std::string text = UniqueName("Travel Text");
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  ASSERT_TRUE(firstStore.Set(text.c_str()));
  ASSERT_TRUE(secondStore.Set(upper.c_str()));

  PeerProcess peer;
  EXPECT_EQ(peer.Ask("get " + first), "1|" + text);
  EXPECT_EQ(peer.Ask("get " + second), "1|" + upper);
  ASSERT_EQ(peer.Ask("set " + first + " #0012"), "1");
  EXPECT_EQ(Value(firstStore), "#0012");
  std::string lower = upper;
  for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  ASSERT_EQ(peer.Ask("set " + first + " " + lower), "1");
  EXPECT_EQ(Value(firstStore), lower);
  EXPECT_EQ(Value(secondStore), upper);
}

TEST(VolatileStoreProcesses, RegistrationsAreCountedAcrossProcesses) {
  std::string name = UniqueName("Counted");
  PeerProcess peer;
  CVolatileStore store(name.c_str());
  ASSERT_TRUE(store.Register());
  ASSERT_EQ(peer.Ask("register " + name), "1");

  store.Unregister();
  EXPECT_TRUE(store.Set("peer still registered"));
  ASSERT_EQ(peer.Ask("unregister " + name), "1");
  EXPECT_FALSE(store.Set("nobody registered"));
  EXPECT_EQ(peer.Ask("set " + name + " nobody either"), "0");
  EXPECT_EQ(peer.Ask("get " + name), "1|peer still registered");
}

}  // namespace
