#pragma once
// A real HTTP server on a free loopback port, run on its own threads, for tests that
// load pages in the engine. Every request is recorded.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace httplib {
class Server;
struct Request;
struct Response;
} // namespace httplib

namespace testing_support {

struct RecordedRequest {
    QString Path;                   // without the query
    QString Query;                  // raw query text
    QMap<QString, QString> Headers; // names lower-case
};

class TestServer {
public:
    // port 0: a free port is chosen. Tests that need the service's fixed port 6868 bind
    // an address of their own in 127.0.0.0/8, so they never meet another test's server.
    explicit TestServer(int port = 0, const QString& host = QStringLiteral("127.0.0.1"));
    ~TestServer();

    int Port() const { return port_; }
    QString Host() const { return host_; }
    QUrl Url(const QString& pathAndQuery) const;

    // Static content for a path.
    void Page(const QString& path, const QByteArray& body,
              const QByteArray& contentType = "text/html; charset=utf-8");
    void Handle(const QString& path,
                std::function<void(const httplib::Request&, httplib::Response&)> handler);

    std::vector<RecordedRequest> Requests() const;
    std::vector<RecordedRequest> RequestsFor(const QString& path) const;
    void ClearRequests();

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread* thread_ = nullptr;
    int port_ = 0;
    QString host_;
    mutable std::mutex mutex_;
    std::vector<RecordedRequest> requests_;
};

} // namespace testing_support
