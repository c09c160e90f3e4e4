// The offline ping and pong: raw UDP datagrams a host answers on its game
// port without any connection. Players' LAN search sends the ping; so does
// the lobby to check that an announced game is really there.
// They start with 0xFF 0xFF: an ENet header with every flag and the highest
// peer id, which our hosts never send (no compressor is set).
#pragma once

inline constexpr unsigned char kOfflinePing[] = {0xFF, 0xFF, 'V', 'R', 'K', 'P'};
inline constexpr unsigned char kOfflinePong[] = {0xFF, 0xFF, 'V', 'R', 'K', 'O'};
