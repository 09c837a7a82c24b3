// Real message boxes on the test's own thread and on a second thread,
// captured and answered by BoxScript.
#include "testsupport/BoxScript.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

struct BoxCase {
  UINT type;
  std::vector<int> buttons;
  BoxIcon icon;
  int answer;
};

TEST(MessageBoxCapture, CapturesButtonsIconAndTextAndReturnsTheAnswer) {
  const BoxCase cases[] = {
      {MB_OK, {IDOK}, BoxIcon::None, IDOK},
      {MB_OKCANCEL | MB_ICONQUESTION, {IDOK, IDCANCEL}, BoxIcon::Question, IDCANCEL},
      {MB_YESNO | MB_ICONEXCLAMATION, {IDYES, IDNO}, BoxIcon::Warning, IDYES},
      {MB_YESNOCANCEL | MB_ICONINFORMATION, {IDCANCEL, IDYES, IDNO}, BoxIcon::Information, IDNO},
      {MB_RETRYCANCEL | MB_ICONERROR, {IDCANCEL, IDRETRY}, BoxIcon::Error, IDRETRY},
      {MB_ABORTRETRYIGNORE | MB_ICONSTOP, {IDABORT, IDRETRY, IDIGNORE}, BoxIcon::Error, IDIGNORE},
      {MB_CANCELTRYCONTINUE | MB_ICONWARNING, {IDCANCEL, IDTRYAGAIN, IDCONTINUE}, BoxIcon::Warning, IDCONTINUE},
      {MB_OK | MB_ICONASTERISK | MB_HELP, {IDOK, IDHELP}, BoxIcon::Information, IDOK},
  };
  for (const BoxCase& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type));
    BoxScript script;
    script.Expect().Caption("Caption X").Text("Line one\nLine two").Buttons(c.buttons).Icon(c.icon).Answer(c.answer);

    EXPECT_EQ(c.answer, MessageBoxA(nullptr, "Line one\nLine two", "Caption X", c.type));

    std::vector<CapturedBox> boxes = script.Captured();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(nullptr, boxes[0].owner);
    EXPECT_EQ(GetCurrentThreadId(), boxes[0].threadId);
  }
}

TEST(MessageBoxCapture, ButtonTextsAndOwnerAreCaptured) {
  HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, owner);
  BoxScript script;
  script.Expect().Answer(IDYES);

  EXPECT_EQ(IDYES, MessageBoxA(owner, "Text", "Owned", MB_YESNO));

  CapturedBox box = script.Captured().at(0);
  EXPECT_EQ(owner, box.owner);
  ASSERT_EQ(2u, box.buttons.size());
  EXPECT_EQ("&Yes", box.buttons[0].text);
  EXPECT_EQ("&No", box.buttons[1].text);
  DestroyWindow(owner);
}

TEST(MessageBoxCapture, WithoutAnAnswerTheDefaultButtonIsPressed) {
  BoxScript script;
  script.Expect();
  script.Expect();

  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "Text", "Default", MB_YESNO | MB_DEFBUTTON2));
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Text", "Default", MB_OKCANCEL));

  std::vector<CapturedBox> boxes = script.Captured();
  EXPECT_EQ(IDNO, boxes.at(0).defaultButton);
  EXPECT_EQ(IDOK, boxes.at(1).defaultButton);
}

TEST(MessageBoxCapture, BoxesFollowTheScriptInOrder) {
  BoxScript script;
  script.Expect().Caption("First").Answer(IDNO);
  script.Expect().Caption("Second").Answer(IDCANCEL);

  EXPECT_EQ(IDNO, MessageBoxA(nullptr, "1", "First", MB_YESNO));
  EXPECT_EQ(IDCANCEL, MessageBoxA(nullptr, "2", "Second", MB_OKCANCEL));
}

struct DismissCase {
  UINT type;
  int result;
};

TEST(MessageBoxCapture, UnexpectedBoxFailsTheTestAndIsDismissed) {
  const DismissCase cases[] = {
      {MB_OK, IDOK}, {MB_OKCANCEL, IDCANCEL}, {MB_YESNO, IDNO}, {MB_YESNOCANCEL, IDCANCEL}, {MB_ABORTRETRYIGNORE, IDABORT},
  };
  for (const DismissCase& c : cases) {
    SCOPED_TRACE("type " + std::to_string(c.type));
    BoxScript script;
    int result = 0;
    EXPECT_NONFATAL_FAILURE(result = MessageBoxA(nullptr, "Nobody asked", "Surprise", c.type),
                            "Unexpected box \"Surprise\" with text \"Nobody asked\"");
    EXPECT_EQ(c.result, result);
  }
}

TEST(MessageBoxCapture, BoxAfterTheLastExpectedOneIsUnexpected) {
  BoxScript script;
  script.Expect().Answer(IDOK);
  EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Expected", "One", MB_OKCANCEL));
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = MessageBoxA(nullptr, "Extra", "Two", MB_OKCANCEL), "Unexpected box \"Two\"");
  EXPECT_EQ(IDCANCEL, result);
}

TEST(MessageBoxCapture, MismatchFailsButTheScriptedAnswerIsGiven) {
  BoxScript script;
  script.Expect().Caption("Wanted").TextContains("needle").Icon(BoxIcon::Error).Answer(IDYES);
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = MessageBoxA(nullptr, "haystack", "Actual", MB_YESNO | MB_ICONQUESTION),
                          "caption: expected \"Wanted\", got \"Actual\"\n"
                          "  text: expected to contain \"needle\", got \"haystack\"\n"
                          "  icon: expected error, got question");
  EXPECT_EQ(IDYES, result);
}

TEST(MessageBoxCapture, AnswerWithAMissingButtonFailsAndDismisses) {
  BoxScript script;
  script.Expect().Answer(IDYES);
  int result = 0;
  EXPECT_NONFATAL_FAILURE(result = MessageBoxA(nullptr, "Only OK here", "Plain", MB_OK), "has no button 6");
  EXPECT_EQ(IDOK, result);
}

TEST(MessageBoxCapture, ExpectedBoxThatNeverOpenedFailsAtTheEndOfTheScript) {
  EXPECT_NONFATAL_FAILURE(
      {
        BoxScript script;
        script.Expect().Answer(IDOK);
        script.Expect().Caption("Never shown");
        MessageBoxA(nullptr, "Shown", "Shown", MB_OK);
      },
      "Expected box with caption \"Never shown\" (box #2) never opened");
}

TEST(MessageBoxCapture, BoxOfAnotherThreadIsAnsweredWhenWatched) {
  BoxScript script;
  script.WatchOtherThreads();
  script.Expect().Caption("From worker").Text("Working").Answer(IDNO);

  int result = 0;
  DWORD workerId = 0;
  std::thread worker([&] {
    workerId = GetCurrentThreadId();
    result = MessageBoxA(nullptr, "Working", "From worker", MB_YESNO | MB_ICONQUESTION);
  });
  EXPECT_TRUE(script.WaitForExpected(10000));
  worker.join();

  EXPECT_EQ(IDNO, result);
  std::vector<CapturedBox> boxes = script.Captured();
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(workerId, boxes[0].threadId);
  EXPECT_EQ(BoxIcon::Question, boxes[0].icon);
}

struct OwnedBoxRequest {
  HWND owner;
  int result;
};

DWORD WINAPI ShowOwnedBox(LPVOID param) {
  auto* request = static_cast<OwnedBoxRequest*>(param);
  request->result = MessageBoxA(request->owner, "Owned by the test's window", "Worker", MB_OKCANCEL);
  return 0;
}

// The worker's box disables and re-enables a window of the test's thread,
// by messages sent to the test's thread: a plain wait for the worker hangs.
TEST(MessageBoxCapture, BoxOfAnotherThreadOwnedByThisThreadsWindow) {
  HWND owner = CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, owner);
  BoxScript script;
  script.WatchOtherThreads();
  script.Expect().Caption("Worker").Answer(IDCANCEL);

  OwnedBoxRequest request = {owner, 0};
  HANDLE worker = CreateThread(nullptr, 0, ShowOwnedBox, &request, 0, nullptr);
  EXPECT_TRUE(script.WaitForExpected(10000));
  EXPECT_TRUE(BoxScript::WaitPumping(worker, 10000));
  CloseHandle(worker);

  EXPECT_EQ(IDCANCEL, request.result);
  EXPECT_EQ(owner, script.Captured().at(0).owner);
  EXPECT_TRUE(IsWindowEnabled(owner));
  DestroyWindow(owner);
}

TEST(MessageBoxCapture, UnexpectedBoxOfAnotherThreadFailsOnTheTestsThread) {
  int result = 0;
  EXPECT_NONFATAL_FAILURE(
      {
        BoxScript script;
        script.WatchOtherThreads();
        std::thread worker([&] { result = MessageBoxA(nullptr, "Late", "Worker surprise", MB_YESNO); });
        worker.join();
      },
      "Unexpected box \"Worker surprise\"");
  EXPECT_EQ(IDNO, result);
}

}  // namespace
