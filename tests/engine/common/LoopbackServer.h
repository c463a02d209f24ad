// An HTTP server on 127.0.0.1 inside the test process: fixed responses per path, a
// path that never answers, and the request lines it received. One thread accepts, one
// thread serves each connection.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
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
        bool noLength = false;  // no Content-Length: the body ends when the connection does
        int trickleMs = 0;      // send the body 1 KiB at a time, this long apart
    };

    LoopbackServer() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        int len = sizeof(addr);
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        listen(listener_, 16);
        acceptor_ = std::thread([this] { AcceptLoop(); });
    }

    ~LoopbackServer() {
        SetEvent(stop_);
        closesocket(listener_);
        acceptor_.join();
        for (auto& t : workers_) t.join();
        CloseHandle(stop_);
        WSACleanup();
    }

    void Serve(const std::string& path, const Reply& reply) {
        std::lock_guard<std::mutex> lock(mutex_);
        replies_[path] = reply;
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
    void AcceptLoop() {
        for (;;) {
            SOCKET client = accept(listener_, nullptr, nullptr);
            if (client == INVALID_SOCKET) return;
            std::lock_guard<std::mutex> lock(mutex_);
            workers_.emplace_back([this, client] { Handle(client); });
        }
    }

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
        reply.status = 404;
        reply.body = "<html><head><title>Not Found</title></head><body>no such page</body></html>";
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(line);
            lastRequest_ = request;
            auto it = replies_.find(path);
            if (it != replies_.end()) reply = it->second;
        }
        if (reply.never) {
            WaitForSingleObject(stop_, INFINITE);
        } else {
            const std::string length =
                reply.noLength ? std::string() : "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
            const std::string head = "HTTP/1.1 " + std::to_string(reply.status) + (reply.status == 200 ? " OK" : " Not Found") +
                                     "\r\nContent-Type: text/html; charset=utf-8\r\n" + length +
                                     "Connection: close\r\n" + reply.headers + "\r\n";
            if (reply.trickleMs > 0) {
                Trickle(client, head, reply);
            } else {
                const std::string text = head + reply.body;
                send(client, text.data(), static_cast<int>(text.size()), 0);
            }
            shutdown(client, SD_SEND);
            while (recv(client, buffer, sizeof(buffer), 0) > 0) {
            }
        }
        closesocket(client);
    }

    // Stops early when the client goes or the server stops.
    void Trickle(SOCKET client, const std::string& head, const Reply& reply) {
        if (send(client, head.data(), static_cast<int>(head.size()), 0) <= 0) return;
        for (size_t at = 0; at < reply.body.size(); at += 1024) {
            if (WaitForSingleObject(stop_, static_cast<DWORD>(reply.trickleMs)) == WAIT_OBJECT_0) return;
            const int n = static_cast<int>(std::min<size_t>(1024, reply.body.size() - at));
            if (send(client, reply.body.data() + at, n, 0) <= 0) return;
        }
    }

    SOCKET listener_;
    int port_ = 0;
    HANDLE stop_;
    std::thread acceptor_;
    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::map<std::string, Reply> replies_;
    std::vector<std::string> requests_;
    std::string lastRequest_;
};
