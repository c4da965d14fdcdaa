#include "support/TestServer.h"

#include <httplib.h>
#include <sys/socket.h>
#include <thread>

namespace testing_support {

TestServer::TestServer(int port, const QString& host)
    : server_(std::make_unique<httplib::Server>()), host_(host)
{
    // No idle keep-alive connections: stopping the server then returns at once.
    server_->set_keep_alive_max_count(1);
    // Connections of an earlier server on the same port (the demo service of another
    // end-to-end test) may still linger; the library's default (SO_REUSEPORT alone) would
    // refuse the port then, and would let two servers share a port that is in use.
    server_->set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server_->set_logger([this](const httplib::Request& req, const httplib::Response&) {
        RecordedRequest rec;
        rec.Path = QString::fromStdString(req.path);
        const auto q = req.target.find('?');
        if (q != std::string::npos)
            rec.Query = QString::fromStdString(req.target.substr(q + 1));
        for (const auto& [name, value] : req.headers)
            rec.Headers.insert(QString::fromStdString(name).toLower(),
                               QString::fromStdString(value));
        std::lock_guard lock(mutex_);
        requests_.push_back(rec);
    });
    if (port == 0)
        port_ = server_->bind_to_any_port(host.toStdString());
    else
        port_ = server_->bind_to_port(host.toStdString(), port) ? port : -1;
    thread_ = new std::thread([this] { server_->listen_after_bind(); });
}

TestServer::~TestServer()
{
    server_->stop();
    thread_->join();
    delete thread_;
}

QUrl TestServer::Url(const QString& pathAndQuery) const
{
    return QUrl(QStringLiteral("http://%1:%2%3").arg(host_).arg(port_).arg(pathAndQuery));
}

void TestServer::Page(const QString& path, const QByteArray& body, const QByteArray& contentType)
{
    const std::string content = body.toStdString();
    const std::string type = contentType.toStdString();
    server_->Get(path.toStdString(),
                 [content, type](const httplib::Request&, httplib::Response& res) {
                     res.set_content(content, type);
                 });
}

void TestServer::Handle(const QString& path,
                        std::function<void(const httplib::Request&, httplib::Response&)> handler)
{
    server_->Get(path.toStdString(), std::move(handler));
}

std::vector<RecordedRequest> TestServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<RecordedRequest> TestServer::RequestsFor(const QString& path) const
{
    std::vector<RecordedRequest> found;
    for (const auto& r : Requests())
        if (r.Path == path)
            found.push_back(r);
    return found;
}

void TestServer::ClearRequests()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
}

} // namespace testing_support
