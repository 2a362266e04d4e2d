// HTTP spoken on a bare socket: for the requests no client library sends (a
// garbage request line, a request cut short and left hanging, headers past
// any limit), and for reading whatever the server answers them, or seeing
// that it closed the connection.
#pragma once

#include <httplib.h>

#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <netinet/in.h>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

namespace velmora::testing {

// The longest a test waits for an answer: a safety net against a server
// that hangs, no measure of speed.
inline constexpr int kPatienceSeconds = 30;

class RawConnection {
public:
    explicit RawConnection(int port, const char* host = "127.0.0.1")
        : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        if (fd_ < 0)
            return;
        const timeval patience{kPatienceSeconds, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        ::inet_pton(AF_INET, host, &address.sin_addr);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~RawConnection() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    bool connected() const { return fd_ >= 0; }

    // Whether every byte was sent.
    bool send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        return true;
    }

    // What the server sends until it closes the connection; closedByServer()
    // then tells whether it did, or the patience ran out first.
    std::string readToEnd() {
        std::string received;
        while (receive(received)) {
        }
        return received;
    }

    // The first response, once whole (its headers and the bytes its
    // Content-Length counts), or what came of it before the connection
    // ended: a server may keep a connection open after it answered.
    std::string readResponse() {
        std::string received;
        while (!wholeResponse(received) && receive(received)) {
        }
        return received;
    }

    bool closedByServer() const { return closed_; }

private:
    // Whether more came; false once the connection ended or the patience ran out.
    bool receive(std::string& received) {
        char buffer[4096];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got > 0) {
            received.append(buffer, static_cast<std::size_t>(got));
            return true;
        }
        // A reset is a close too: the server left unread bytes behind.
        closed_ = got == 0 || errno == ECONNRESET;
        return false;
    }

    static bool wholeResponse(const std::string& received) {
        const std::size_t end = received.find("\r\n\r\n");
        if (end == std::string::npos)
            return false;
        std::string head = received.substr(0, end);
        for (char& c : head)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::size_t length = head.find("\r\ncontent-length: ");
        if (length == std::string::npos)
            return false;
        return received.size() - end - 4 >= std::stoul(head.substr(length + 18));
    }

    int fd_;
    bool closed_ = false;
};

struct RawResponse {
    int status = 0; // 0: no response at all
    httplib::Headers headers;
    std::string body;
};

// The first response in `bytes`, as far as they hold one.
inline RawResponse parseResponse(const std::string& bytes) {
    RawResponse response;
    const std::size_t end = bytes.find("\r\n\r\n");
    if (!bytes.starts_with("HTTP/1.1 ") || bytes.size() < 12 || end == std::string::npos)
        return response;
    response.status = std::stoi(bytes.substr(9, 3));
    std::size_t at = bytes.find("\r\n") + 2;
    while (at < end) {
        const std::size_t lineEnd = bytes.find("\r\n", at);
        const std::string line = bytes.substr(at, lineEnd - at);
        const std::size_t colon = line.find(':');
        const std::size_t value = line.find_first_not_of(' ', colon + 1);
        if (colon != std::string::npos)
            response.headers.emplace(line.substr(0, colon),
                                     value == std::string::npos ? "" : line.substr(value));
        at = lineEnd + 2;
    }
    response.body = bytes.substr(end + 4);
    return response;
}

// `request` sent on a connection of its own, and the server's answer.
inline RawResponse exchange(int port, const std::string& request) {
    RawConnection connection(port);
    if (!connection.connected() || !connection.send(request))
        return {};
    return parseResponse(connection.readResponse());
}

} // namespace velmora::testing
