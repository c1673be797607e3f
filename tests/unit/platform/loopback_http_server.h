#pragma once
// A one-answer HTTP server on 127.0.0.1 (ephemeral port) for tests: answers every connection with
// a fixed reply, optionally late or not at all. Never reaches beyond the loopback interface.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

class LoopbackHttpServer {
public:
  struct Reply {
    std::string raw;            // bytes sent back
    int delayMs = 0;            // wait before answering
    bool closeSilently = false; // close the connection without a byte
  };

  static std::string Response(int status, const std::string& body,
                              const std::string& type = "text/plain") {
    return "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Type: " + type +
           "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
           body;
  }

  explicit LoopbackHttpServer(Reply reply) : mReply(std::move(reply)) {
    mListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(mListen, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(mListen, 8);
    socklen_t length = sizeof address;
    getsockname(mListen, reinterpret_cast<sockaddr*>(&address), &length);
    mPort = ntohs(address.sin_port);
    mThread = std::thread([this] { Serve(); });
  }

  ~LoopbackHttpServer() {
    mStop = true;
    mThread.join();
    close(mListen);
  }

  std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(mPort); }
  std::string RequestLine() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequestLine;
  }

private:
  bool WaitReadable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, ms) > 0;
  }

  void Serve() {
    while (!mStop) {
      if (!WaitReadable(mListen, 50)) continue;
      const int client = accept4(mListen, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      std::string request;
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos && !mStop &&
             std::chrono::steady_clock::now() < until) {
        if (!WaitReadable(client, 50)) continue;
        const ssize_t n = read(client, buffer, sizeof buffer);
        if (n <= 0) break;
        request.append(buffer, static_cast<size_t>(n));
      }
      {
        std::lock_guard<std::mutex> lock(mMutex);
        mRequestLine = request.substr(0, request.find("\r\n"));
      }
      for (int waited = 0; waited < mReply.delayMs && !mStop; waited += 10)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      if (!mReply.closeSilently && !mStop) {
        size_t sent = 0;
        while (sent < mReply.raw.size()) {
          const ssize_t n =
              send(client, mReply.raw.data() + sent, mReply.raw.size() - sent, MSG_NOSIGNAL);
          if (n <= 0) break;
          sent += static_cast<size_t>(n);
        }
      }
      close(client);
    }
  }

  Reply mReply;
  int mListen = -1;
  int mPort = 0;
  std::atomic<bool> mStop{false};
  mutable std::mutex mMutex;
  std::string mRequestLine;
  std::thread mThread;
};
