#include "platform/globals.h"

#include "base/framesize.h"

std::atomic<bool> keys[256];
std::atomic<bool> lclick{false};
std::atomic<bool> typing{false};
std::atomic<bool> quitall{false};
std::atomic<ScreenState> inloop{ScreenState::Title};
int timetilheartbeat = 1;

std::mutex textMutex;
std::string typingmessage;
std::string newname;
std::vector<std::string> Messages;
MessageLog MessageView;

void AddMessage(const std::string& line, MessageKind kind) {
  std::lock_guard<std::mutex> lock(textMutex);
  Messages.push_back(line);
  // Only the newest lines are ever shown or scrolled back to.
  if (Messages.size() > kMaxMessages)
    Messages.erase(Messages.begin(), Messages.end() - kMaxMessages);
  MessageView.Add(line, kind);
}

std::vector<std::string> MessagesSnapshot() {
  std::lock_guard<std::mutex> lock(textMutex);
  return Messages;
}

int Game = 0;
bool multiplayer = false;
int graphicslevel = 0;
bool gotin = false;
bool rdyforgame = false;
bool foundpong = false;
int framestilquit = 0;
int framestilownage = 0;
float myGUID = 0.0f;

float CameraWidth = kFrameWidth, CameraHeight = kFrameHeight;
float xamnt = 0.0f, yamnt = 0.0f;
