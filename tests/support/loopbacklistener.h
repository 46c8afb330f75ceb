#ifndef LOOPBACKLISTENER_H
#define LOOPBACKLISTENER_H

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A TCP socket listening on 127.0.0.1 at a port the system chose. The system completes the
// connections it is asked for, but nothing ever answers them. Closed with ::close.
inline int loopbackListener(int* port) {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (s < 0 || bind(s, reinterpret_cast<sockaddr*>(&a), len) != 0 || listen(s, 4) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0)
        return -1;
    *port = ntohs(a.sin_port);
    return s;
}

#endif // LOOPBACKLISTENER_H
