#include "server/http_server.h"

#include "platform/sjis.h"
#include "server/tablet_pages.h"

#include <httplib.h>

#include <arpa/inet.h>
#include <cerrno>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace tavola {
namespace {

// Tablets keep their connections open between taps; a worker is not held longer than this by an idle one.
constexpr time_t kKeepAliveSeconds = 2;
constexpr std::size_t kWorkers = 48;

const httplib::Headers& securityHeaders()
{
    static const httplib::Headers headers{
        {"Content-Security-Policy", "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
                                    "connect-src 'self'; font-src 'self'; base-uri 'none'; form-action 'none'; "
                                    "frame-ancestors 'none'"},
        {"X-Content-Type-Options", "nosniff"},
        {"Referrer-Policy", "no-referrer"},
        {"X-Frame-Options", "DENY"},
        {"Cache-Control", "no-store"},
    };
    return headers;
}

std::string sessionToken(const httplib::Request& req)
{
    const std::string cookies = req.get_header_value("Cookie");
    const std::string key = std::string(kSessionCookie) + "=";
    std::size_t at = 0;
    while (at < cookies.size()) {
        std::size_t end = cookies.find(';', at);
        if (end == std::string::npos) end = cookies.size();
        std::size_t start = cookies.find_first_not_of(' ', at);
        if (start != std::string::npos && start < end && cookies.compare(start, key.size(), key) == 0) {
            std::string value = cookies.substr(start + key.size(), end - start - key.size());
            // A token is 64 hexadecimal digits; anything else is no token.
            if (value.size() == 64 && std::all_of(value.begin(), value.end(), [](char c) {
                    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
                }))
                return value;
            return {};
        }
        at = end + 1;
    }
    return {};
}

void sendReply(httplib::Response& res, const Reply& reply)
{
    res.status = reply.status;
    res.set_content(reply.body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                    "application/json; charset=utf-8");
}

void sendMessage(httplib::Response& res, int status, const std::string& utf8Message)
{
    Reply r;
    r.status = status;
    r.body = {{"message", utf8Message}};
    sendReply(res, r);
}

// The JSON body of a POST: only application/json (a form of another site cannot send it without asking first).
std::optional<Json> jsonBody(const httplib::Request& req, httplib::Response& res)
{
    const std::string type = req.get_header_value("Content-Type");
    if (type.rfind("application/json", 0) != 0) {
        sendMessage(res, 415, "JSON で送ってください");
        return std::nullopt;
    }
    Json body = Json::parse(req.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        sendMessage(res, 400, "入力が正しくありません");
        return std::nullopt;
    }
    return body;
}

std::optional<int> intField(const Json& body, const char* name, int low, int high)
{
    auto it = body.find(name);
    if (it == body.end() || !it->is_number_integer()) return std::nullopt;
    const auto v = it->get<long long>();
    if (v < low || v > high) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<std::string> textField(const Json& body, const char* name, std::size_t maxBytes)
{
    auto it = body.find(name);
    if (it == body.end()) return std::string();
    if (!it->is_string()) return std::nullopt;
    std::string s = it->get<std::string>();
    if (s.size() > maxBytes) return std::nullopt;
    return s;
}

std::string portTakenMessage(int port)
{
    return "ポート "_sj + std::to_string(port) + " はほかのプログラムが使っています。別のポートを選んでください"_sj;
}

// Whether the port is free at the address; httplib only says that binding failed, not why.
Status probePort(const std::string& address, int port)
{
    if (port == 0) return {};
    in_addr ip{};
    if (::inet_pton(AF_INET, address.c_str(), &ip) != 1)
        return Status::failure("アドレス "_sj + address + " はこのコンピューターのアドレスではありません"_sj);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return {};
    int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    sa.sin_addr = ip;
    Status result;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        if (errno == EADDRINUSE)
            result = Status::failure(portTakenMessage(port));
        else if (errno == EADDRNOTAVAIL)
            result = Status::failure("アドレス "_sj + address + " はこのコンピューターのアドレスではありません"_sj);
        else if (errno == EACCES)
            result =
                Status::failure("ポート "_sj + std::to_string(port) + " は使えません（1024 以上を選んでください）"_sj);
    }
    ::close(fd);
    return result;
}

} // namespace

ClassroomServer::ClassroomServer(Classroom& room) : room_(room), http_(std::make_unique<httplib::Server>())
{
    http_->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    http_->set_payload_max_length(kMaxRequestBody);
    http_->set_keep_alive_timeout(kKeepAliveSeconds);
    http_->set_read_timeout(10);
    http_->set_write_timeout(10);
    http_->set_default_headers(securityHeaders());
    routes();
}

ClassroomServer::~ClassroomServer()
{
    stop();
}

Status ClassroomServer::bind(const std::string& address, int port)
{
    if (port < 0 || port > 65535) return Status::failure("ポートは 1 から 65535 です"_sj);
    if (Status free = probePort(address, port); !free) return free;
    if (port == 0) {
        const int got = http_->bind_to_any_port(address);
        if (got <= 0) return Status::failure("サーバーを開始できません"_sj);
        port = got;
    } else if (!http_->bind_to_port(address, port)) {
        return Status::failure(portTakenMessage(port));
    }
    address_ = address;
    port_ = port;
    return {};
}

void ClassroomServer::run()
{
    http_->listen_after_bind();
}

void ClassroomServer::start()
{
    listenEnded_ = false;
    thread_ = std::thread([this] {
        http_->listen_after_bind();
        listenEnded_ = true;
    });
    // A stop() before the thread listens would find nothing to stop, and the thread would serve on.
    while (!http_->is_running() && !listenEnded_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

void ClassroomServer::stop()
{
    if (http_) http_->stop();
    if (thread_.joinable()) thread_.join();
}

void ClassroomServer::routes()
{
    httplib::Server& s = *http_;
    for (const char* path : {"/", "/app.js", "/app.css"}) {
        s.Get(path, [path](const httplib::Request&, httplib::Response& res) {
            auto page = tabletPage(path);
            if (!page) {
                res.status = 404;
                return;
            }
            res.set_content(std::string(page->bytes), page->contentType);
        });
    }
    s.Get("/api/names", [this](const httplib::Request&, httplib::Response& res) { sendReply(res, room_.names()); });
    s.Post("/api/learner", [this](const httplib::Request& req, httplib::Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        auto learner = intField(*body, "learner", 0, 100000);
        if (!learner) return sendMessage(res, 400, "入力が正しくありません");
        sendReply(res, room_.learnerInfo(*learner));
    });
    s.Post("/api/logon", [this](const httplib::Request& req, httplib::Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        auto learner = intField(*body, "learner", 0, 100000);
        auto password = textField(*body, "password", 256);
        auto confirmation = textField(*body, "confirmation", 256);
        if (!learner || !password || !confirmation) return sendMessage(res, 400, "入力が正しくありません");
        std::string token;
        Reply reply = room_.logOn(*learner, *password, *confirmation, token);
        if (!token.empty())
            res.set_header("Set-Cookie",
                           std::string(kSessionCookie) + "=" + token + "; Path=/; HttpOnly; SameSite=Strict");
        sendReply(res, reply);
    });
    s.Post("/api/logoff", [this](const httplib::Request& req, httplib::Response& res) {
        if (!jsonBody(req, res)) return;
        res.set_header("Set-Cookie", std::string(kSessionCookie) + "=; Path=/; HttpOnly; SameSite=Strict; Max-Age=0");
        sendReply(res, room_.logOff(sessionToken(req)));
    });
    s.Get("/api/units", [this](const httplib::Request& req, httplib::Response& res) {
        sendReply(res, room_.units(sessionToken(req)));
    });
    s.Get("/api/records", [this](const httplib::Request& req, httplib::Response& res) {
        sendReply(res, room_.records(sessionToken(req)));
    });
    s.Post("/api/open", [this](const httplib::Request& req, httplib::Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        auto section = intField(*body, "section", 1, 80);
        auto unit = intField(*body, "unit", 1, 80);
        auto similar = body->contains("similar") ? intField(*body, "similar", 0, 5) : std::optional<int>(0);
        if (!section || !unit || !similar) return sendMessage(res, 400, "入力が正しくありません");
        sendReply(res, room_.open(sessionToken(req), *section, *unit, *similar));
    });
    s.Post("/api/act", [this](const httplib::Request& req, httplib::Response& res) {
        auto body = jsonBody(req, res);
        if (!body) return;
        auto action = textField(*body, "action", 16);
        auto box = body->contains("box") ? intField(*body, "box", 0, 80) : std::optional<int>(0);
        std::vector<std::string> texts;
        bool good = action && box;
        if (auto it = body->find("texts"); good && it != body->end()) {
            good = it->is_array() && it->size() <= 80;
            for (std::size_t k = 0; good && k < it->size(); ++k) {
                good = (*it)[k].is_string();
                if (good) texts.push_back((*it)[k].get<std::string>());
            }
        }
        if (!good) return sendMessage(res, 400, "入力が正しくありません");
        sendReply(res, room_.act(sessionToken(req), *action, texts, *box));
    });
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty()) {
            const int status = res.status;
            sendMessage(res, status, status == 413 ? "送られたデータが大きすぎます" : "見つかりません");
        }
    });
    s.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        sendMessage(res, 500, "サーバーで問題が起きました");
    });
}

std::vector<std::string> localAddresses()
{
    std::vector<std::string> out;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return out;
    for (ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
        char text[INET_ADDRSTRLEN];
        const auto* in = reinterpret_cast<const sockaddr_in*>(a->ifa_addr);
        if (::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) == nullptr) continue;
        const std::string ip = text;
        if (ip.rfind("127.", 0) == 0) continue;
        if (std::find(out.begin(), out.end(), ip) == out.end()) out.push_back(ip);
    }
    ::freeifaddrs(list);
    return out;
}

std::string serverUrl(const std::string& address, int port)
{
    return "http://" + address + ":" + std::to_string(port) + "/";
}

} // namespace tavola
