// The window thread's side of the screen-state machine: keys, enter and
// escape per state, the chat line, name entry and the click latch, driven
// through the same events the platform layer delivers.
#include "app/inputhandler.h"

#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/platform.h"

namespace {

using platform::InputEvent;

void Send(InputEvent::Kind kind, int key = 0, char ch = 0) {
  InputEvent e;
  e.kind = kind;
  e.key = key;
  e.ch = ch;
  HandleInputEvent(e);
}
void Down(int key) { Send(InputEvent::kKeyDown, key); }
void Up(int key) { Send(InputEvent::kKeyUp, key); }
void Type(const std::string& text) {
  for (char c : text) Send(InputEvent::kChar, 0, c);
}
std::string Chat() {
  std::lock_guard<std::mutex> lock(textMutex);
  return typingmessage;
}
std::string Name() {
  std::lock_guard<std::mutex> lock(textMutex);
  return newname;
}

class InputHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& k : keys) k = false;
    lclick = typing = quitall = false;
    inloop = 2;
    {
      std::lock_guard<std::mutex> lock(textMutex);
      typingmessage.clear();
      newname.clear();
    }
    ResetInputState();
  }
};

TEST_F(InputHandlerTest, KeyFlagsFollowDownAndUp) {
  Down(vk::Left);
  Down('Z');
  EXPECT_TRUE(keys[vk::Left]);
  EXPECT_TRUE(keys['Z']);
  Up('Z');
  EXPECT_FALSE(keys['Z']);
  EXPECT_TRUE(keys[vk::Left]);
}

TEST_F(InputHandlerTest, EscapePerState) {
  inloop = 1;
  Down(vk::Escape);
  EXPECT_EQ(inloop, 12);
  EXPECT_FALSE(keys[vk::Escape]);  // the confirmation must not see it as its own escape
  Down(vk::Escape);
  EXPECT_EQ(inloop, 1);
  EXPECT_FALSE(keys[vk::Escape]);
  for (int state : {4, 6, 9, 10, 11, 7}) {
    inloop = state;
    Down(vk::Escape);
    EXPECT_EQ(inloop, 2) << "from state " << state;
    EXPECT_FALSE(quitall);
  }
}

TEST_F(InputHandlerTest, EscapeOnTheTitleEndsTheProgram) {
  inloop = 2;
  Down(vk::Escape);
  EXPECT_TRUE(quitall);
  EXPECT_TRUE(platform::QuitRequested());
}

TEST_F(InputHandlerTest, EnterOpensTheChatLineAndSendsItWithTheSecond) {
  inloop = 1;
  Down(vk::Return);
  EXPECT_TRUE(typing);
  EXPECT_EQ(Chat(), ">");
  Type("hi all");
  EXPECT_EQ(Chat(), ">hi all");
  Down(vk::Return);
  EXPECT_FALSE(typing);
  EXPECT_EQ(Chat(), "");
  std::vector<std::string> sent = TakeTypedChat();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0], ">hi all");
  EXPECT_TRUE(TakeTypedChat().empty());
}

TEST_F(InputHandlerTest, FireKeysAreClearedWhileTypingButArrowsStillWork) {
  inloop = 1;
  Down(vk::Return);
  for (int key : {'Z', 'X', 'C', 'V'}) {
    Down(key);
    EXPECT_FALSE(keys[key]) << char(key);
  }
  Down(vk::Up);
  EXPECT_TRUE(keys[vk::Up]);
  // A fire key held from before the chat opened is released by the next key.
  Down(vk::Return);  // send
  Down('X');
  EXPECT_TRUE(keys['X']);
  Down(vk::Return);  // open again
  Down('A');
  EXPECT_FALSE(keys['X']);
}

TEST_F(InputHandlerTest, CharactersGoOnlyWhereSomethingIsBeingTyped) {
  inloop = 9;
  Type("abc");
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(Chat(), "");
  inloop = 10;
  Type("Kai");
  EXPECT_EQ(Name(), "Kai");
  EXPECT_EQ(Chat(), "");
}

TEST_F(InputHandlerTest, EnterFinishesNameEntryAndOpensTheChatLine) {
  inloop = 10;
  Type("Kai");
  Down(vk::Return);
  EXPECT_EQ(inloop, 11);
  EXPECT_TRUE(typing);
  EXPECT_EQ(Chat(), ">");
  EXPECT_EQ(Name(), "Kai");
}

TEST_F(InputHandlerTest, EnterWhileTypingOnNameEntryOnlySends) {
  inloop = 10;
  Down(vk::Return);  // finishes the name, opens chat
  inloop = 10;       // the game thread has not run state 11 yet
  Down(vk::Return);  // sends the chat line instead of finishing again
  EXPECT_FALSE(typing);
  EXPECT_EQ(inloop, 10);
}

TEST_F(InputHandlerTest, ChatBackspaceNeverRemovesTheMark) {
  inloop = 1;
  Down(vk::Return);
  Type("ab");
  for (int i = 0; i < 5; ++i) Down(vk::Back);  // a press and four repeats
  EXPECT_EQ(Chat(), ">");
  inloop = 12;
  Type("xy");
  Down(vk::Back);
  EXPECT_EQ(Chat(), ">x");
}

TEST_F(InputHandlerTest, BackspaceRemovesOneCharacterPerPressInTypingOrder) {
  inloop = 10;
  Type("Kaix");
  Down(vk::Back);
  Up(vk::Back);
  Type("!");
  EXPECT_EQ(Name(), "Kai!");
  for (int i = 0; i < 6; ++i) Down(vk::Back);
  EXPECT_EQ(Name(), "");
}

TEST_F(InputHandlerTest, BackspaceLeavesTextAloneWhereNothingIsEdited) {
  inloop = 2;  // a chat line opened on the title is not edited there
  Down(vk::Return);
  Type("ab");
  {
    std::lock_guard<std::mutex> lock(textMutex);
    newname = "Kai";
  }
  Down(vk::Back);
  EXPECT_EQ(Chat(), ">ab");
  EXPECT_EQ(Name(), "Kai");
}

TEST_F(InputHandlerTest, HeldButtonActsOnceAndReleasesNormally) {
  Send(InputEvent::kButtonDown);
  EXPECT_TRUE(lclick);
  EndFrameInput();
  EXPECT_TRUE(lclick);  // still held, the game has not acted
  lclick = false;       // the game acted on it
  EndFrameInput();
  EXPECT_FALSE(lclick);
  Send(InputEvent::kButtonUp);
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, ClickMissedByTheGameIsClearedOnRelease) {
  Send(InputEvent::kButtonDown);
  EndFrameInput();  // a frame saw it and did nothing with it
  Send(InputEvent::kButtonUp);
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, TapBetweenTwoFramesStillCountsOnce) {
  Send(InputEvent::kButtonDown);
  Send(InputEvent::kButtonUp);
  EXPECT_TRUE(lclick);  // the next frame must see it
  EndFrameInput();
  EXPECT_FALSE(lclick);  // and only that frame
  EndFrameInput();
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, TapAfterAHeldClickIsNotLost) {
  Send(InputEvent::kButtonDown);
  EndFrameInput();
  Send(InputEvent::kButtonUp);
  Send(InputEvent::kButtonDown);
  Send(InputEvent::kButtonUp);
  EXPECT_TRUE(lclick);
  EndFrameInput();
  EXPECT_FALSE(lclick);
}

}  // namespace
