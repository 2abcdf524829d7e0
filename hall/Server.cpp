#include "hall/Server.h"

#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <memory>
#include <optional>
#include <thread>

#include "hall/Hall.h"
#include "hall/Limits.h"

namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace net = boost::asio;
using tcp = net::ip::tcp;

constexpr std::size_t maxHeaderBytes = 8 * 1024;              // the request line and every header
constexpr auto requestTime = std::chrono::seconds(10);        // to send a whole request, body and all
constexpr auto answerTime = std::chrono::seconds(30);         // to take a whole answer
constexpr int maxConnections = 512;                           // open at once; more are closed unread

struct Shared {
    Hall& hall;
    RateLimit rate;
    VerifyPool pool;
    std::atomic<int> connections{0};
    void (*log)(const std::string&);
};

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, Shared& shared) : stream_(std::move(socket)), shared_(shared) {
        ++shared_.connections;
        boost::system::error_code ec;
        const tcp::endpoint peer = stream_.socket().remote_endpoint(ec);
        address_ = ec ? std::string("?") : peer.address().to_string();
    }
    ~Session() { --shared_.connections; }

    void read() {
        parser_.emplace();
        parser_->header_limit(maxHeaderBytes);
        parser_->body_limit(maxSubmissionBytes);
        // One deadline for the whole request: a client dripping a byte at a time is cut off.
        stream_.expires_after(requestTime);
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onRead(ec); });
    }

private:
    void onRead(beast::error_code ec) {
        if (ec == http::error::body_limit) return refuse(413, "a replay is at most 256 KB");
        if (ec == http::error::header_limit) return refuse(431, "the request's headers are too long");
        if (ec && ec.category() == http::make_error_code(http::error::bad_target).category() &&
            ec != http::error::end_of_stream && ec != http::error::partial_message)
            return refuse(400, "not an HTTP request this server reads");
        if (ec) return close();  // gone, cut off, or timed out

        const http::request<http::string_body>& message = parser_->get();
        HallRequest request;
        request.method = std::string(message.method_string());
        request.target = std::string(message.target());
        request.authorization = std::string(message[http::field::authorization]);
        request.acceptEncoding = std::string(message[http::field::accept_encoding]);
        request.ifNoneMatch = std::string(message[http::field::if_none_match]);
        request.body = message.body();
        keepAlive_ = message.keep_alive();

        if (!Hall::isSubmission(request)) return write(shared_.hall.answer(request));
        if (!shared_.rate.allow(address_, RateLimit::Clock::now())) {
            HallAnswer answer = errorAnswer(429, "a few games a minute from one place: try again in a minute");
            answer.headers.emplace_back("Retry-After", "60");
            return write(std::move(answer));
        }
        // The game waits for a verifying thread with no deadline of ours: the queue is bounded.
        stream_.expires_never();
        auto self = shared_from_this();
        const bool queued = shared_.pool.post([self, request = std::move(request)] {
            HallAnswer answer = self->shared_.hall.answer(request);
            net::post(self->stream_.get_executor(),
                      [self, answer = std::move(answer)]() mutable { self->write(std::move(answer)); });
        });
        if (!queued) write(errorAnswer(503, "the hall is busy verifying games: try again in a minute"));
    }

    void refuse(int status, const std::string& reason) {
        keepAlive_ = false;
        write(errorAnswer(status, reason));
    }

    void write(HallAnswer answer) {
        auto response = std::make_shared<http::response<http::string_body>>(http::status(answer.status), 11);
        response->set(http::field::server, "flipper-hall");
        if (!answer.contentType.empty()) response->set(http::field::content_type, answer.contentType);
        for (const auto& [name, value] : answer.headers) response->set(name, value);
        response->keep_alive(keepAlive_);
        const std::size_t length = answer.body.size();
        if (!answer.headOnly) response->body() = std::move(answer.body);
        if (answer.status != 304) response->content_length(length);
        stream_.expires_after(answerTime);
        http::async_write(stream_, *response,
                          [self = shared_from_this(), response](beast::error_code ec, std::size_t) {
                              if (ec || !self->keepAlive_) return self->close();
                              self->read();
                          });
    }

    void close() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.close();
    }

    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    Shared& shared_;
    std::string address_;
    bool keepAlive_ = false;
};

void accept(tcp::acceptor& acceptor, Shared& shared) {
    acceptor.async_accept([&acceptor, &shared](beast::error_code ec, tcp::socket socket) {
        if (ec == net::error::operation_aborted) return;
        if (!ec && shared.connections < maxConnections) std::make_shared<Session>(std::move(socket), shared)->read();
        accept(acceptor, shared);
    });
}

}  // namespace

Problem serveHall(Hall& hall, const ServerSettings& settings, void (*say)(const std::string&),
                  void (*log)(const std::string&)) {
    const unsigned threads =
        settings.verifyThreads > 0 ? settings.verifyThreads : std::max(1u, std::thread::hardware_concurrency());
    Shared shared{hall, RateLimit(settings.submissionsPerMinute), VerifyPool(threads, settings.verifyQueue), {}, log};
    net::io_context io(1);
    boost::system::error_code ec;
    const net::ip::address address = net::ip::make_address(settings.bind, ec);
    if (ec) return "--bind " + settings.bind + ": not an IP address";
    tcp::acceptor acceptor(io);
    const tcp::endpoint endpoint(address, settings.port);
    if (acceptor.open(endpoint.protocol(), ec) || acceptor.set_option(net::socket_base::reuse_address(true), ec) ||
        acceptor.bind(endpoint, ec) || acceptor.listen(net::socket_base::max_listen_connections, ec))
        return "cannot listen on " + settings.bind + " port " + std::to_string(settings.port) + ": " + ec.message();

    net::signal_set signals(io, SIGINT, SIGTERM);
    signals.async_wait([&](const beast::error_code&, int) {
        log("stopping");
        hall.stop();
        acceptor.close();
        io.stop();
    });
    accept(acceptor, shared);
    say("http://" + settings.bind + ":" + std::to_string(acceptor.local_endpoint().port()) + "/");
    io.run();
    shared.pool.stop();
    return {};
}
