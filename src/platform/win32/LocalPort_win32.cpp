#include "platform/LocalPort.h"

#include <winsock2.h>
#include <ws2tcpip.h>

namespace platform {

bool LoopbackPortFree(int port)
{
    if (port <= 0 || port > 65535)
        return false;
    WSADATA data{};
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return false;
    bool free = false;
    // No SO_REUSEADDR: on Windows it would let the bind succeed on a port in use. A port
    // in TIME_WAIT binds here without it.
    const SOCKET s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        BOOL exclusive = TRUE;
        ::setsockopt(s, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&exclusive),
                     sizeof exclusive);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<u_short>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        free = ::bind(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        ::closesocket(s);
    }
    ::WSACleanup();
    return free;
}

} // namespace platform
