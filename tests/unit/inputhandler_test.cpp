// The window thread's side of the screen-state machine: keys, enter and
// escape per state, the chat line, name entry and the click latch, driven
// through the same events the platform layer delivers.
#include "app/inputhandler.h"

#include <gtest/gtest.h>

#include "platform/globals.h"
#include "platform/platform.h"

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
void Repeat(int key) {
  InputEvent e;
  e.kind = InputEvent::kKeyDown;
  e.key = key;
  e.repeat = true;
  HandleInputEvent(e);
}
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

// One frame of the game thread, which acts on nothing.
void Frame() {
  BeginFrameInput();
  EndFrameInput();
}

class InputHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (auto& k : keys) k = false;
    lclick = typing = quitall = false;
    inloop = ScreenState::Title;
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
  Frame();  // held long enough for a frame to see it
  Up('Z');
  EXPECT_FALSE(keys['Z']);
  EXPECT_TRUE(keys[vk::Left]);
}

TEST_F(InputHandlerTest, EscapePerState) {
  inloop = ScreenState::Playing;
  Down(vk::Escape);
  EXPECT_EQ(inloop, ScreenState::QuitConfirm);
  EXPECT_FALSE(keys[vk::Escape]);  // the confirmation must not see it as its own escape
  Down(vk::Escape);
  EXPECT_EQ(inloop, ScreenState::Playing);
  EXPECT_FALSE(keys[vk::Escape]);
  using enum ScreenState;
  for (ScreenState state : {LanSearch, ServerList, Options, NameEntry, NameEntryDone, GameStart}) {
    inloop = state;
    Down(vk::Escape);
    EXPECT_EQ(inloop, Title) << "from state " << TraceNumber(state);
    EXPECT_FALSE(quitall);
  }
  inloop = ScreenState::Notice;  // a notice: its own frame ends it
  Down(vk::Escape);
  EXPECT_EQ(inloop, ScreenState::Notice);
}

TEST_F(InputHandlerTest, EscapeOnTheTitleEndsTheProgram) {
  inloop = ScreenState::Title;
  Down(vk::Escape);
  EXPECT_TRUE(quitall);
  EXPECT_TRUE(platform::QuitRequested());
}

TEST_F(InputHandlerTest, EnterOpensTheChatLineAndSendsItWithTheSecond) {
  inloop = ScreenState::Playing;
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

  Down(vk::Return);  // a line stops growing where it would run off the screen
  Type(std::string(200, 'w'));
  EXPECT_EQ(Chat().size(), kMaxChatLineChars);
  Down(vk::Return);
  EXPECT_EQ(TakeTypedChat().at(0).size(), kMaxChatLineChars);

  Down(vk::Return);  // opened and closed with nothing typed: nothing is sent
  Type("x");
  Down(vk::Back);
  Down(vk::Return);
  EXPECT_FALSE(typing);
  EXPECT_EQ(Chat(), "");
  EXPECT_TRUE(TakeTypedChat().empty());
}

TEST_F(InputHandlerTest, FireKeysAreClearedWhileTypingButArrowsStillWork) {
  inloop = ScreenState::Playing;
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
  inloop = ScreenState::Options;
  Type("abc");
  EXPECT_EQ(Name(), "");
  EXPECT_EQ(Chat(), "");
  inloop = ScreenState::NameEntry;
  Type("Kai");
  EXPECT_EQ(Name(), "Kai");
  EXPECT_EQ(Chat(), "");
}

TEST_F(InputHandlerTest, EnterFinishesNameEntryWithoutOpeningTheChatLine) {
  inloop = ScreenState::NameEntry;
  Type("Kai");
  Down(vk::Return);
  EXPECT_EQ(inloop, ScreenState::NameEntryDone);
  EXPECT_FALSE(typing) << "the next game would start with the chat line open";
  EXPECT_EQ(Chat(), "");
  EXPECT_EQ(Name(), "Kai");
}

TEST_F(InputHandlerTest, EnterOnTheMenusOpensNoChatLine) {
  using enum ScreenState;
  for (ScreenState state : {Title, LanSearch, ServerList, Options}) {
    inloop = state;
    Down(vk::Return);
    Type("ab");
    EXPECT_FALSE(typing) << "state " << TraceNumber(state);
    EXPECT_EQ(Chat(), "") << "state " << TraceNumber(state);
    EXPECT_EQ(inloop, state);
  }
  EXPECT_TRUE(TakeTypedChat().empty());
}

TEST_F(InputHandlerTest, EnterOnTheQuitConfirmationQuitsOnlyWithNoChatLineOpen) {
  inloop = ScreenState::Playing;
  Down(vk::Return);  // a chat line opened in the game
  Up(vk::Return);
  Frame();
  Type("bye");
  inloop = ScreenState::QuitConfirm;
  Down(vk::Return);  // sends it: not yet the enter that quits
  EXPECT_FALSE(keys[vk::Return]);
  EXPECT_EQ(TakeTypedChat().size(), 1u);
  Up(vk::Return);
  Down(vk::Return);  // now the quit confirmation sees it, and no line opens
  EXPECT_TRUE(keys[vk::Return]);
  EXPECT_FALSE(typing);
}

TEST_F(InputHandlerTest, EnterWhileTypingOnNameEntryOnlySends) {
  inloop = ScreenState::Playing;
  Down(vk::Return);  // a chat line left open by the game
  inloop = ScreenState::NameEntry;
  Down(vk::Return);  // sends the chat line instead of finishing the name
  EXPECT_FALSE(typing);
  EXPECT_EQ(inloop, ScreenState::NameEntry);
}

TEST_F(InputHandlerTest, ChatBackspaceNeverRemovesTheMark) {
  inloop = ScreenState::Playing;
  Down(vk::Return);
  Type("ab");
  Down(vk::Back);
  for (int i = 0; i < 4; ++i) Repeat(vk::Back);
  EXPECT_EQ(Chat(), ">");
  inloop = ScreenState::QuitConfirm;
  Type("xy");
  Down(vk::Back);
  EXPECT_EQ(Chat(), ">x");
}

TEST_F(InputHandlerTest, BackspaceRemovesOneCharacterPerPressInTypingOrder) {
  inloop = ScreenState::NameEntry;
  Type("Kaix");
  Down(vk::Back);
  Up(vk::Back);
  Type("!");
  EXPECT_EQ(Name(), "Kai!");
  for (int i = 0; i < 6; ++i) Down(vk::Back);
  EXPECT_EQ(Name(), "");
}

TEST_F(InputHandlerTest, BackspaceLeavesTextAloneWhereNothingIsEdited) {
  inloop = ScreenState::Playing;
  Down(vk::Return);
  Type("ab");
  inloop = ScreenState::Title;  // a chat line left open is not edited on the title
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
  Frame();
  EXPECT_TRUE(lclick);  // still held, the game has not acted
  BeginFrameInput();
  lclick = false;  // the game acted on it
  EndFrameInput();
  EXPECT_FALSE(lclick);
  Send(InputEvent::kButtonUp);
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, ClickMissedByTheGameIsClearedOnRelease) {
  Send(InputEvent::kButtonDown);
  Frame();  // a frame saw it and did nothing with it
  Send(InputEvent::kButtonUp);
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, TapBetweenTwoFramesStillCountsOnce) {
  Send(InputEvent::kButtonDown);
  Send(InputEvent::kButtonUp);
  EXPECT_TRUE(lclick);  // the next frame must see it
  Frame();
  EXPECT_FALSE(lclick);  // and only that frame
  Frame();
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, TapAfterAHeldClickIsNotLost) {
  Send(InputEvent::kButtonDown);
  Frame();
  Send(InputEvent::kButtonUp);
  Send(InputEvent::kButtonDown);
  Send(InputEvent::kButtonUp);
  EXPECT_TRUE(lclick);
  Frame();
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, ClickArrivingWhileAFrameRunsIsLeftForTheNextFrame) {
  BeginFrameInput();  // the frame has already tested the buttons
  Send(InputEvent::kButtonDown);
  EndFrameInput();
  Send(InputEvent::kButtonUp);
  EXPECT_TRUE(lclick) << "released before any frame could see it";
  Frame();
  EXPECT_FALSE(lclick);
}

TEST_F(InputHandlerTest, KeyTapShorterThanAFrameIsSeenByOneFrame) {
  inloop = ScreenState::QuitConfirm;
  Down(vk::Return);  // enter on the quit confirmation, tapped quickly
  Up(vk::Return);
  EXPECT_TRUE(keys[vk::Return]);
  BeginFrameInput();
  EXPECT_TRUE(keys[vk::Return]) << "the frame must see the tap";
  EndFrameInput();
  EXPECT_FALSE(keys[vk::Return]);
  // The same during a running frame: held over to the next one.
  BeginFrameInput();
  Down(vk::Up);
  EndFrameInput();
  Up(vk::Up);
  BeginFrameInput();
  EXPECT_TRUE(keys[vk::Up]);
  EndFrameInput();
  EXPECT_FALSE(keys[vk::Up]);
}

TEST_F(InputHandlerTest, HeldKeyReleasesAtOnceAndRetapKeepsItDown) {
  Down(vk::Left);
  Frame();
  Up(vk::Left);
  EXPECT_FALSE(keys[vk::Left]) << "a key some frame saw goes up with the key";
  Down(vk::Left);
  Up(vk::Left);
  Down(vk::Left);  // pressed again before the frame: it is simply held
  Frame();
  EXPECT_TRUE(keys[vk::Left]);
}

TEST_F(InputHandlerTest, AutoRepeatOfAHeldKeyOnlyEditsText) {
  inloop = ScreenState::Options;  // escape held on the options screen
  Down(vk::Escape);
  EXPECT_EQ(inloop, ScreenState::Title);
  Repeat(vk::Escape);
  EXPECT_FALSE(quitall) << "holding escape to leave the options ended the program";
  inloop = ScreenState::Playing;  // escape held in a game stays on the quit confirmation
  Down(vk::Escape);
  Repeat(vk::Escape);
  Repeat(vk::Escape);
  EXPECT_EQ(inloop, ScreenState::QuitConfirm);
  inloop = ScreenState::Playing;  // enter held opens the chat line once and sends nothing
  Down(vk::Return);
  Repeat(vk::Return);
  EXPECT_TRUE(typing);
  EXPECT_TRUE(TakeTypedChat().empty());
  Type("abc");
  Repeat(vk::Back);  // backspace repeats keep deleting
  Repeat(vk::Back);
  EXPECT_EQ(Chat(), ">a");
}

}  // namespace
