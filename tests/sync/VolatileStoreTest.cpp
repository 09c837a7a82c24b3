// Values shared between processes: registration, set and get across a
// second process, one atom reference per name, and the length limit.
#include <gtest/gtest.h>
#include <windows.h>

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
