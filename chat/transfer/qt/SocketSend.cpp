#include "SocketSend.h"

#ifdef _WIN32
#include <winsock2.h>
#else
#include <cerrno>
#include <sys/socket.h>
#include <sys/types.h>
#endif

namespace lanyx {

qint64 SendNow(qintptr socket, const char* data, qint64 size) {
    if (socket < 0 || size <= 0) return 0;
#ifdef _WIN32
    const int chunk = size > 0x40000000 ? 0x40000000 : static_cast<int>(size);
    const int n = ::send(static_cast<SOCKET>(socket), data, chunk, 0);
    if (n == SOCKET_ERROR) return WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
    return n;
#else
    for (;;) {
        const auto n = ::send(static_cast<int>(socket), data, static_cast<std::size_t>(size),
                              MSG_DONTWAIT | MSG_NOSIGNAL);
        if (n >= 0) return n;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
#endif
}

}  // namespace lanyx
