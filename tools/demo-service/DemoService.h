#pragma once

#include <httplib.h>

#include "shared/Version.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace demo {

struct ServiceOptions {
    // Announced in /ver/ver.html and shown on the about page; the client's own version
    // by default, so the client offers no update.
    std::string version = QUILLMARK_VERSION;
    // The Info text of /ver/ver.html: the question the client asks before updating.
    std::string info;
};

// The local stand-in for the ERP service: the start page, the version file, the about page
// and pages that exercise the client. Requests are answered on the server's worker threads.
class DemoService {
public:
    // Each request is logged as one line to `log` when it is given.
    explicit DemoService(ServiceOptions options, std::ostream* log = nullptr);
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // Binds host:port (0 picks a free port) and serves on a thread of its own. Returns the
    // bound port, or -1 when the address cannot be bound. Call at most once.
    int Start(const std::string& host, int port);

    // Stops serving and waits for the serving thread; safe to call more than once.
    void Stop();

private:
    void AddRoutes();
    void LogRequest(const httplib::Request& request, const httplib::Response& response);

    void StartPage(const httplib::Request& request, httplib::Response& response) const;
    void PopupPage(const httplib::Request& request, httplib::Response& response) const;
    void VersionFile(httplib::Response& response) const;
    void AboutPage(httplib::Response& response) const;
    void SetCookies(httplib::Response& response) const;
    void ShowCookies(const httplib::Request& request, httplib::Response& response) const;
    void Slow(const httplib::Request& request, httplib::Response& response);
    // A large file made on the fly: "mb" megabytes (200) at "mbps" MB/s (20; 0: at once).
    void LargeDownload(const httplib::Request& request, httplib::Response& response);
    void ErrorPage(const httplib::Request& request, httplib::Response& response) const;

    ServiceOptions options_;
    std::ostream* log_;
    std::mutex logMutex_;
    httplib::Server server_;
    std::thread serving_;
    std::atomic<bool> served_{false};
    // Wakes slow answers when the service stops.
    std::mutex stopMutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::atomic<int> droppedRequests_{0};
};

} // namespace demo
