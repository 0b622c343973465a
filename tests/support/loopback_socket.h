#pragma once

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>

namespace pagelift::test {

#if defined(_WIN32)
using Socket = SOCKET;
inline void CloseSocket(Socket fd) {
  closesocket(fd);
}
// Windows' sockets work once the program has asked for them.
inline Socket NewSocket() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
  return socket(AF_INET, SOCK_STREAM, 0);
}
#else
using Socket = int;
inline void CloseSocket(Socket fd) {
  close(fd);
}
inline Socket NewSocket() {
  return socket(AF_INET, SOCK_STREAM, 0);
}
#endif

// 127.0.0.1 on `port`; 0 lets the system pick the port when binding.
inline sockaddr_in LoopbackAddress(int port = 0) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

// Binds the socket `fd` to 127.0.0.1 on a port the system picks, and returns that port.
inline int BindToFreeLoopbackPort(Socket fd) {
  sockaddr_in address = LoopbackAddress();
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  return ntohs(address.sin_port);
}

// A loopback port that nothing listens on right now.
inline int FreeLoopbackPort() {
  const Socket fd = NewSocket();
  const int port = BindToFreeLoopbackPort(fd);
  CloseSocket(fd);
  return port;
}

// Whether something accepts connections on 127.0.0.1 at `port`.
inline bool AcceptsOnLoopback(int port) {
  const Socket fd = NewSocket();
  const sockaddr_in address = LoopbackAddress(port);
  const bool accepts =
      connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  CloseSocket(fd);
  return accepts;
}

}  // namespace pagelift::test
