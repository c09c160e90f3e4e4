// What a log line is about. Kills between other players are the lines that
// come in bursts (computer players fight all the time) and must not push the
// rest out of sight.
#pragma once

enum class MessageKind { System, Chat, OthersKill };
