// The few calls of a TCP connection that the network port makes, over Linux's sockets or over
// Winsock. Errors come as errno numbers on both (Winsock's are translated), so one classification
// serves. Nothing here waits unless asked to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace zorvik::tcp {

using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// Looks the host up and connects to the first of its addresses that answers, the lookup and each
// attempt waiting at most msLeft() milliseconds. Gives kNoSocket and `error` (ENXIO for an
// unknown host, ETIMEDOUT for a lookup that took too long) on failure.
// The connection sends each write at once, without waiting for company.
[[nodiscard]] Socket Connect(const std::string& host, const std::string& service,
                             const std::function<int()>& msLeft, int& error);

// Bytes received, 0 once the other side has closed, or -1 with `error` (EAGAIN: none yet).
[[nodiscard]] long Receive(Socket socket, std::uint8_t* buffer, std::size_t size, int& error);

// Bytes taken, or -1 with `error` (EAGAIN: the connection's queue is full).
[[nodiscard]] long Send(Socket socket, const std::uint8_t* bytes, std::size_t size, int& error);

// Waits up to `timeoutMs` for input (or, with `output`, for room to send): 1 when ready, 0 when
// the time ran out, -1 with `error` (EINTR: a signal came first).
[[nodiscard]] int Wait(Socket socket, bool output, int timeoutMs, int& error);

// Bytes sent but not yet on the network; 0 where the system cannot tell.
[[nodiscard]] int Unsent(Socket socket);

void Close(Socket socket) noexcept;

}  // namespace zorvik::tcp
