#include "DemoService.h"

#include "EmbeddedFiles.h"
#include "Html.h"
#include "RequestParsing.h"

#include <nlohmann/json.hpp>
#include <sys/socket.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <ctime>
#include <stdexcept>

namespace demo {
namespace {

using httplib::Request;
using httplib::Response;

constexpr const char* HtmlType = "text/html; charset=utf-8";
constexpr int MaxSlowMs = 10000;
constexpr int MaxPopupNumber = 1000000;
constexpr int DefaultLargeMb = 200;
constexpr int MaxLargeMb = 4096;
constexpr int DefaultLargeMbPerSecond = 20;
constexpr int MaxLargeMbPerSecond = 1000;
constexpr std::size_t LargeChunk = std::size_t{256} * 1024;
constexpr const char* SessionCookie = "QuillmarkSession";
constexpr const char* KeptCookie = "QuillmarkKept";
constexpr const char* KeptCookieAge = "2592000"; // 30 days, in seconds

struct StaticFile {
    const char* path;
    const char* file;
    const char* type;
};

constexpr StaticFile StaticFiles[] = {
    {"/static/style.css", "style.css", "text/css; charset=utf-8"},
    {"/static/demo.js", "demo.js", "text/javascript; charset=utf-8"},
    {"/static/picture.png", "AppIcon256.png", "image/png"},
    {"/static/logo.png", "AppIcon@2x.png", "image/png"},
    {"/favicon.ico", "FavIconNew@2x.png", "image/png"},
};

std::string_view File(std::string_view name)
{
    const auto file = EmbeddedFile(name);
    if (!file)
        throw std::logic_error("file not embedded: " + std::string(name));
    return *file;
}

std::string Page(std::string_view name, const TemplateValues& values = {})
{
    return FillTemplate(File(name), values);
}

// Route patterns are regular expressions; the paths here are meant literally.
std::string Exactly(std::string_view path)
{
    std::string pattern;
    for (char c : path) {
        if (c == '.')
            pattern += '\\';
        pattern += c;
    }
    return pattern;
}

// A non-negative integer query parameter: `fallback` when missing or not a number,
// at most `max`.
int IntParam(const Request& request, const char* name, int fallback, int max)
{
    const std::string text = request.get_param_value(name);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range && !text.empty() && text.front() != '-')
        return max;
    if (error != std::errc() || end != text.data() + text.size() || value < 0)
        return fallback;
    return std::min(value, max);
}

// Keeps a log entry on one line whatever the request carried.
std::string Printable(std::string_view text)
{
    std::string printable(text);
    for (char& c : printable)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return printable;
}

std::string EscapedOrNone(const std::string& text)
{
    return text.empty() ? "<span class=\"empty\">（没有）</span>" : HtmlEscape(text);
}

std::string IdentityTable(const QueryItems& items)
{
    if (items.empty())
        return "<p class=\"note\">地址中没有身份信息（没有查询参数）。</p>";
    std::string table = "<table class=\"identity\">\n<tr><th>参数</th><th>值</th></tr>\n";
    for (const auto& [key, value] : items) {
        table += "<tr><td>" + HtmlEscape(key) + "</td><td>";
        table += value.empty() ? "<span class=\"empty\">（空）</span>" : HtmlEscape(value);
        table += "</td></tr>\n";
    }
    return table + "</table>";
}

std::string CookieState(const std::string& header, const char* name)
{
    const auto value = CookieValue(header, name);
    if (!value)
        return "<span class=\"missing\">不存在</span>";
    return "<span class=\"present\">存在</span>，值为 <code>" + HtmlEscape(*value) + "</code>";
}

// Local time as digits only, which a cookie value may hold without quoting.
std::string Timestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
    return text;
}

} // namespace

DemoService::DemoService(ServiceOptions options, std::ostream* log)
    : options_(std::move(options)), log_(log)
{
    // The library's default also sets SO_REUSEPORT, which would let a second service share
    // a port that is already served instead of failing to start.
    server_.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    AddRoutes();
}

DemoService::~DemoService()
{
    Stop();
}

int DemoService::Start(const std::string& host, int port)
{
    const int bound =
        port == 0 ? server_.bind_to_any_port(host) : (server_.bind_to_port(host, port) ? port : -1);
    if (bound < 0)
        return -1;
    serving_ = std::thread([this] {
        server_.listen_after_bind();
        served_ = true;
    });
    return bound;
}

void DemoService::Stop()
{
    {
        std::lock_guard lock(stopMutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    if (!serving_.joinable())
        return;
    // The server ignores stop() until its loop runs, and must be stopped only once.
    while (!server_.is_running() && !served_)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server_.stop();
    serving_.join();
}

void DemoService::AddRoutes()
{
    server_.Get("/", [this](const Request& rq, Response& rs) { StartPage(rq, rs); });
    server_.Get(Exactly("/popup.html"),
                [this](const Request& rq, Response& rs) { PopupPage(rq, rs); });
    for (const char* page : {"close-self.html", "invoice.html", "table.html"}) {
        server_.Get(Exactly(std::string("/") + page),
                    [page](const Request&, Response& rs) { rs.set_content(Page(page), HtmlType); });
    }
    server_.Get(Exactly("/ver/ver.html"),
                [this](const Request&, Response& rs) { VersionFile(rs); });
    server_.Get(Exactly("/pcClient/about.html"),
                [this](const Request&, Response& rs) { AboutPage(rs); });
    server_.Get("/cookie/set", [this](const Request&, Response& rs) { SetCookies(rs); });
    server_.Get("/cookie/show", [this](const Request& rq, Response& rs) { ShowCookies(rq, rs); });
    server_.Get(Exactly("/download/report.csv"), [](const Request&, Response& rs) {
        rs.set_header("Content-Disposition", "attachment; filename=\"report.csv\"");
        rs.set_content(std::string(File("report.csv")), "text/csv; charset=utf-8");
    });
    server_.Get(Exactly("/download/large.bin"),
                [this](const Request& rq, Response& rs) { LargeDownload(rq, rs); });
    server_.Get("/slow", [this](const Request& rq, Response& rs) { Slow(rq, rs); });
    for (const StaticFile& file : StaticFiles) {
        server_.Get(Exactly(file.path), [file](const Request&, Response& rs) {
            rs.set_content(std::string(File(file.file)), file.type);
        });
    }
    // Called for every answer with an error status; keeps a body a route already wrote.
    server_.set_error_handler(
        httplib::Server::HandlerWithResponse([this](const Request& rq, Response& rs) {
            if (!rs.body.empty())
                return httplib::Server::HandlerResponse::Unhandled;
            ErrorPage(rq, rs);
            return httplib::Server::HandlerResponse::Handled;
        }));
    server_.set_logger([this](const Request& rq, const Response& rs) { LogRequest(rq, rs); });
}

void DemoService::LogRequest(const Request& request, const Response& response)
{
    if (!log_)
        return;
    const std::string language = request.get_header_value("Accept-Language");
    // One write per line, so lines from different workers never mix.
    const std::string line =
        request.method + ' ' + Printable(request.path) + ' ' + std::to_string(response.status) +
        "  Accept-Language: " + (language.empty() ? "-" : Printable(language)) + '\n';
    std::lock_guard lock(logMutex_);
    *log_ << line << std::flush;
}

void DemoService::StartPage(const Request& request, Response& response) const
{
    response.set_content(
        Page("index.html",
             {{"IDENTITY", IdentityTable(ParseQuery(request.target))},
              {"ACCEPT_LANGUAGE", EscapedOrNone(request.get_header_value("Accept-Language"))},
              {"VERSION", HtmlEscape(options_.version)}}),
        HtmlType);
}

void DemoService::PopupPage(const Request& request, Response& response) const
{
    const int number = IntParam(request, "n", 1, MaxPopupNumber);
    response.set_content(
        Page("popup.html", {{"N", std::to_string(number)}, {"NEXT", std::to_string(number + 1)}}),
        HtmlType);
}

void DemoService::VersionFile(Response& response) const
{
    const nlohmann::ordered_json body = {{"Version", options_.version}, {"Info", options_.info}};
    // The file is named .html and served as such; its body is the JSON object alone.
    response.set_content(body.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace),
                         HtmlType);
}

void DemoService::AboutPage(Response& response) const
{
    response.set_content(Page("about.html", {{"VERSION", HtmlEscape(options_.version)}}), HtmlType);
}

void DemoService::SetCookies(Response& response) const
{
    const std::string stamp = Timestamp();
    response.set_header("Set-Cookie", std::string(SessionCookie) + '=' + stamp + "; Path=/");
    response.set_header("Set-Cookie", std::string(KeptCookie) + '=' + stamp +
                                          "; Path=/; Max-Age=" + KeptCookieAge);
    response.set_content(
        Page("cookie-set.html",
             {{"SESSION_COOKIE", SessionCookie}, {"KEPT_COOKIE", KeptCookie}, {"STAMP", stamp}}),
        HtmlType);
}

void DemoService::ShowCookies(const Request& request, Response& response) const
{
    const std::string header = request.get_header_value("Cookie");
    response.set_content(
        Page("cookie-show.html", {{"COOKIE_HEADER", EscapedOrNone(header)},
                                  {"SESSION_COOKIE", SessionCookie},
                                  {"KEPT_COOKIE", KeptCookie},
                                  {"SESSION_STATE", CookieState(header, SessionCookie)},
                                  {"KEPT_STATE", CookieState(header, KeptCookie)}}),
        HtmlType);
}

void DemoService::Slow(const Request& request, Response& response)
{
    const int ms = IntParam(request, "ms", 3000, MaxSlowMs);
    {
        std::unique_lock lock(stopMutex_);
        stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
    }
    response.set_content(Page("slow.html", {{"MS", std::to_string(ms)}}), HtmlType);
}

void DemoService::LargeDownload(const Request& request, Response& response)
{
    const std::size_t size = std::size_t(IntParam(request, "mb", DefaultLargeMb, MaxLargeMb)) << 20;
    const int mbPerSecond = IntParam(request, "mbps", DefaultLargeMbPerSecond, MaxLargeMbPerSecond);
    // drop=1: breaks off halfway six times in seven: the engine's own five tries again
    // fail too, the user's "重试" goes through.
    const bool drop = request.get_param_value("drop") == "1" && droppedRequests_++ % 7 < 6;
    response.set_header("Content-Disposition", "attachment; filename=\"large.bin\"");
    response.set_content_provider(
        size, "application/octet-stream",
        [this, size, mbPerSecond, drop](std::size_t offset, std::size_t length,
                                        httplib::DataSink& sink) {
            if (drop && offset >= size / 2)
                return false;
            // The same bytes for the same offset: made on the fly, never stored.
            std::string chunk(std::min(length, LargeChunk), '\0');
            for (std::size_t i = 0; i < chunk.size(); ++i)
                chunk[i] = char('a' + (offset + i) % 26);
            if (mbPerSecond > 0) {
                const auto pause = std::chrono::microseconds(std::int64_t(chunk.size()) * 1000000 /
                                                             (std::int64_t(mbPerSecond) << 20));
                std::unique_lock lock(stopMutex_);
                if (stopped_.wait_for(lock, pause, [this] { return stopping_; }))
                    return false;
            }
            return sink.write(chunk.data(), chunk.size());
        });
}

void DemoService::ErrorPage(const Request& request, Response& response) const
{
    const bool missing = response.status == 404;
    response.set_content(Page("error.html", {{"STATUS", std::to_string(response.status)},
                                             {"MESSAGE", missing ? "页面不存在" : "请求未能完成"},
                                             {"PATH", HtmlEscape(request.path)}}),
                         HtmlType);
}

} // namespace demo
