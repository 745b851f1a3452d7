#pragma once
// Sends straight from the caller's bytes on a connected, non-blocking
// socket, without the copy a QTcpSocket's write buffer makes. Only for
// when that buffer is empty, so the order of the bytes holds.
#include <QtGlobal>

namespace lanyx {

// How many bytes the system took at once (0 when its buffer is full), or
// -1 when the connection failed (the socket reports that itself).
qint64 SendNow(qintptr socket, const char* data, qint64 size);

}  // namespace lanyx
