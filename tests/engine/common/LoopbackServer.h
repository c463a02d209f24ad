// An HTTP server on 127.0.0.1 inside the test process: fixed responses per path (or one
// reply for the next request only), replies that come late, trickle, never come, are cut
// off or stream a body of any length or without end, the request lines it received and
// how many of them it answered at once. It can go away and come back on its port. One
// thread accepts, one thread serves each connection.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackServer {
public:
    struct Reply {
        int status = 200;
        std::string headers;  // extra header lines, each ending in "\r\n"
        std::string body;
        bool never = false;   // keep the connection open without answering
        DWORD delayMs = 0;    // answer only after this long
        bool cut = false;     // close the connection halfway through the body
        bool noLength = false;  // no Content-Length: the body ends when the connection does
        int trickleMs = 0;      // send the body 1 KiB at a time, this long apart
        bool held = false;      // answer only once Release() is called
        long long generated = -1;  // a body of this many bytes of filler, made as it is sent, in place of body
        bool endless = false;      // a chunked body of filler that never ends
    };

    LoopbackServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        released_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Listen();
    }

    ~LoopbackServer() {
        SetEvent(stop_);
        GoAway();
        for (auto& t : workers_) t.join();
        CloseHandle(stop_);
        CloseHandle(released_);
        WSACleanup();
    }

    void Serve(const std::string& path, const Reply& reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        replies_[path] = reply;
    }

    // Answers the next request of the path with this reply, then the standing one again.
    void ServeOnce(const std::string& path, const Reply& reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        once_[path].push_back(reply);
    }

    // Lets held replies go, those waiting and those still to come: a test holds the
    // program at a state until it has looked at it.
    void Release() { SetEvent(released_); }
    // Holds the held replies still to come again, until the next Release: a test that
    // holds the program at more than one state.
    void Hold() { ResetEvent(released_); }

    // Stops listening: connections to the port are refused until Return.
    void GoAway() {
        if (listener_ == INVALID_SOCKET) return;
        // Under Wine a socket closed by another thread does not end a blocked accept: a
        // connection of our own wakes it.
        away_ = true;
        SOCKET wake = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<u_short>(port_));
        connect(wake, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        acceptor_.join();
        closesocket(wake);
        closesocket(listener_);
        listener_ = INVALID_SOCKET;
        away_ = false;
    }

    // Listens on the same port again.
    void Return() {
        if (listener_ == INVALID_SOCKET) Listen();
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
    int Port() const { return port_; }

    // The request lines ("GET /path HTTP/1.1") received so far.
    std::vector<std::string> Requests() {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }

    // The whole head of the latest request, headers included.
    std::string LastRequest() {
        std::lock_guard<std::mutex> lock(mutex_);
        return lastRequest_;
    }

    // From now on counts the requests of paths that start with prefix while they are answered,
    // from their arrival until their last byte is sent.
    void Watch(const std::string& prefix) {
        std::lock_guard<std::mutex> lock(mutex_);
        watched_ = prefix;
        answering_ = mostAnswering_ = 0;
    }
    // The most of those answered at once so far.
    int MostAnsweredAtOnce() {
        std::lock_guard<std::mutex> lock(mutex_);
        return mostAnswering_;
    }

    // A port on which nothing listens: bound once, then released.
    static int ClosedPort() {
        SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int len = sizeof(addr);
        getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
        closesocket(s);
        return ntohs(addr.sin_port);
    }

private:
    // The first call takes a free port; later calls take that port again, which the
    // connections it served may still hold in their closing state.
    void Listen() {
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        KeepFromChildren(listener_);
        const BOOL reuse = port_ != 0;
        setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(static_cast<u_short>(port_));
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int len = sizeof(addr);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        listen(listener_, 16);
        acceptor_ = std::thread([this] { AcceptLoop(); });
    }

    // Sockets are inherited by default: a program the test starts with inherited handles
    // (its standard error redirected) would keep the port listening after GoAway.
    static void KeepFromChildren(SOCKET s) { SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0); }

    static const char* Reason(int status) {
        switch (status) {
            case 200: return "OK";
            case 404: return "Not Found";
            case 500: return "Internal Server Error";
            default: return "Status";
        }
    }

    void AcceptLoop() {
        for (;;) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            KeepFromChildren(client);
            if (away_) {
                closesocket(client);
                return;
            }
            std::lock_guard<std::mutex> lock(mutex_);
            workers_.emplace_back([this, client] { Handle(client); });
        }
    }

    // A watched request while it is answered; Done comes before its last byte is sent, so
    // that a client which waits for a response before it asks again is never counted twice.
    class Answering {
    public:
        Answering(LoopbackServer& server, bool watched) : server_(server), watched_(watched) {
            if (!watched_) return;
            std::lock_guard<std::mutex> lock(server_.mutex_);
            server_.mostAnswering_ = std::max(server_.mostAnswering_, ++server_.answering_);
        }
        ~Answering() { Done(); }
        Answering(const Answering&) = delete;
        Answering& operator=(const Answering&) = delete;
        void Done() {
            if (!watched_) return;
            watched_ = false;
            std::lock_guard<std::mutex> lock(server_.mutex_);
            --server_.answering_;
        }

    private:
        LoopbackServer& server_;
        bool watched_;
    };

    void Handle(SOCKET client) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            const int n = recv(client, buffer, sizeof(buffer), 0);
            if (n <= 0) break;
            request.append(buffer, static_cast<size_t>(n));
        }
        const std::string line = request.substr(0, request.find("\r\n"));
        const size_t a = line.find(' ');
        const std::string path = line.substr(a + 1, line.find(' ', a + 1) - a - 1);
        Reply reply;
        bool watched = false;
        reply.status = 404;
        reply.body = "<html><head><title>Not Found</title></head><body>no such page</body></html>";
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(line);
            lastRequest_ = request;
            watched = !watched_.empty() && path.compare(0, watched_.size(), watched_) == 0;
            auto once = once_.find(path);
            auto it = replies_.find(path);
            if (once != once_.end() && !once->second.empty()) {
                reply = once->second.front();
                once->second.erase(once->second.begin());
            } else if (it != replies_.end()) {
                reply = it->second;
            }
        }
        Answering answering(*this, watched);
        const HANDLE releasedOrStopped[] = {released_, stop_};
        if (reply.held && WaitForMultipleObjects(2, releasedOrStopped, FALSE, INFINITE) != WAIT_OBJECT_0) {
            closesocket(client);
            return;
        }
        if (reply.never || WaitForSingleObject(stop_, reply.delayMs) == WAIT_OBJECT_0) {
            WaitForSingleObject(stop_, INFINITE);
            closesocket(client);
            return;
        }
        const long long size = reply.generated >= 0 ? reply.generated : static_cast<long long>(reply.body.size());
        const std::string length = reply.endless    ? "Transfer-Encoding: chunked\r\n"
                                   : reply.noLength ? std::string()
                                                    : "Content-Length: " + std::to_string(size) + "\r\n";
        const std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + Reason(reply.status) +
                                 "\r\nContent-Type: text/html; charset=utf-8\r\n" + length + "Connection: close\r\n" +
                                 reply.headers + "\r\n";
        if (reply.generated >= 0 || reply.endless) {
            Stream(client, head, reply, answering);
        } else if (reply.trickleMs > 0) {
            Trickle(client, head, reply, answering);
        } else {
            const std::string text = head + reply.body.substr(0, reply.cut ? reply.body.size() / 2 : std::string::npos);
            answering.Done();
            send(client, text.data(), static_cast<int>(text.size()), 0);
        }
        if (!reply.cut) {
            shutdown(client, SD_SEND);
            while (recv(client, buffer, sizeof(buffer), 0) > 0) {
            }
        }
        closesocket(client);
    }

    // Stops early when the client goes or the server stops.
    void Trickle(SOCKET client, const std::string& head, const Reply& reply, Answering& answering) {
        if (reply.body.empty()) answering.Done();
        if (send(client, head.data(), static_cast<int>(head.size()), 0) <= 0) return;
        for (size_t at = 0; at < reply.body.size(); at += 1024) {
            if (WaitForSingleObject(stop_, static_cast<DWORD>(reply.trickleMs)) == WAIT_OBJECT_0) return;
            const int n = static_cast<int>(std::min<size_t>(1024, reply.body.size() - at));
            if (at + n == reply.body.size()) answering.Done();
            if (send(client, reply.body.data() + at, n, 0) <= 0) return;
        }
    }

    // A body of filler made as it is sent, so that a test need not hold it; it stops when
    // the client goes or the server stops.
    void Stream(SOCKET client, const std::string& head, const Reply& reply, Answering& answering) {
        answering.Done();
        if (send(client, head.data(), static_cast<int>(head.size()), 0) <= 0) return;
        const std::string block(64 << 10, 'x');
        const std::string chunk = "10000\r\n" + block + "\r\n";  // the block, its size in hex
        const long long blockSize = static_cast<long long>(block.size());
        for (long long left = reply.generated; reply.endless || left > 0; left -= blockSize) {
            if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return;
            const int n = static_cast<int>(reply.endless ? chunk.size() : std::min(left, blockSize));
            if (send(client, reply.endless ? chunk.data() : block.data(), n, 0) <= 0) return;
        }
    }

    SOCKET listener_ = INVALID_SOCKET;
    std::atomic<bool> away_{false};
    int port_ = 0;
    HANDLE stop_;
    HANDLE released_;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::map<std::string, std::vector<Reply>> once_;
    std::vector<std::string> requests_;
    std::string lastRequest_;
    std::string watched_;  // no prefix: none
    int answering_ = 0;
    int mostAnswering_ = 0;
};
