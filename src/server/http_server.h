#pragma once
// The classroom server: the classroom's calls over HTTP on the address and port the teacher chose. cpp-httplib
// reads the requests; this file only routes them. Requests are bounded (16 KiB bodies, JSON only), a session is
// the random token of an HttpOnly, SameSite=Strict cookie, and every page carries a policy that loads nothing from
// elsewhere.
#include "platform/result.h"
#include "server/classroom.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace tavola {

inline constexpr std::size_t kMaxRequestBody = 16 * 1024;
inline constexpr const char* kSessionCookie = "tavola_session";

class ClassroomServer {
public:
    explicit ClassroomServer(Classroom& room);
    ~ClassroomServer();
    ClassroomServer(const ClassroomServer&) = delete;
    ClassroomServer& operator=(const ClassroomServer&) = delete;

    // Binds to the address and port (0: any free port); the message says why not ("ポート 8080 はほかのプログラムが
    // 使っています" when it is taken).
    Status bind(const std::string& address, int port);
    int port() const { return port_; }
    const std::string& address() const { return address_; }
    // Serves until stop(); run() blocks, start() serves on a thread of its own.
    void run();
    void start();
    void stop();

private:
    void routes();

    Classroom& room_;
    std::unique_ptr<httplib::Server> http_;
    std::thread thread_;
    std::atomic<bool> listenEnded_{false};
    std::string address_;
    int port_ = 0;
};

// The addresses of this computer that tablets can reach (IPv4, not loopback), for the teacher to tell the class.
std::vector<std::string> localAddresses();

// "http://ADDRESS:PORT/".
std::string serverUrl(const std::string& address, int port);

} // namespace tavola
