#include "DemoService.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>
#include <vector>

namespace {

// A service on a free loopback port, stopped when the test ends.
class RunningService {
public:
    explicit RunningService(demo::ServiceOptions options = {}, std::ostream* log = nullptr)
        : service_(std::move(options), log), port_(service_.Start("127.0.0.1", 0))
    {}

    int port() const { return port_; }
    void Stop() { service_.Stop(); }

    httplib::Result Get(const std::string& target, const httplib::Headers& headers = {}) const
    {
        httplib::Client client("127.0.0.1", port_);
        client.set_url_encode(false); // send targets as written, like a browser
        return client.Get(target, headers);
    }

private:
    demo::DemoService service_;
    int port_;
};

std::size_t Find(const std::string& body, const std::string& text)
{
    const auto pos = body.find(text);
    EXPECT_NE(pos, std::string::npos) << "missing: " << text;
    return pos;
}

TEST(DemoService, StartPageShowsTheIdentityInTheSentOrderEscaped)
{
    RunningService service;
    ASSERT_GT(service.port(), 0);
    const auto res =
        service.Get("/?ComputerName=%3Cscript%3Ealert(1)%3C%2Fscript%3E"
                    "&MacAddress=00%3A1A%3A2B%3A3C%3A4D%3A5E%3B00%3A50%3A56%3AC0%3A00%3A08"
                    "&RT=00-11-22-33-44-55&IpOut=&IpIn=192.168.1.20%2C+192.168.56.1",
                    {{"Accept-Language", "zh-CN"}});
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string& body = res->body;

    EXPECT_EQ(body.find("<script>alert(1)"), std::string::npos);
    Find(body, "&lt;script&gt;alert(1)&lt;/script&gt;");
    Find(body, "00:1A:2B:3C:4D:5E;00:50:56:C0:00:08");
    Find(body, "192.168.1.20, 192.168.56.1");
    Find(body, "zh-CN");
    // Not sorted: the order the client sent.
    const auto computer = Find(body, "<td>ComputerName</td>");
    const auto mac = Find(body, "<td>MacAddress</td>");
    const auto rt = Find(body, "<td>RT</td>");
    const auto ipOut = Find(body, "<td>IpOut</td>");
    const auto ipIn = Find(body, "<td>IpIn</td>");
    EXPECT_LT(computer, mac);
    EXPECT_LT(mac, rt);
    EXPECT_LT(rt, ipOut);
    EXPECT_LT(ipOut, ipIn);
}

TEST(DemoService, StartPageDecodesUtf8EscapesKeysAndCopesWithoutIdentity)
{
    RunningService service;
    const auto named = service.Get("/?ComputerName=%E6%B5%8B%E8%AF%95&%3Cb%3E=%22");
    ASSERT_TRUE(named);
    Find(named->body, "<td>测试</td>");
    Find(named->body, "<td>&lt;b&gt;</td><td>&quot;</td>");

    const auto bare = service.Get("/");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->status, 200);
    Find(bare->body, "没有身份信息");
}

TEST(DemoService, VersionFileIsJsonWithTheConfiguredTexts)
{
    struct Case {
        std::string version;
        std::string info;
    };
    const Case cases[] = {
        {"1.0.0.2", ""},
        {"1.0.0.3", "发现 \"新\" 版本，路径 C:\\Quillmark</script>"},
        {" 2.0 ", "第一行\n第二行\t{\"Version\":\"x\"}"},
    };
    for (const auto& c : cases) {
        RunningService service({c.version, c.info});
        const auto res = service.Get("/ver/ver.html");
        ASSERT_TRUE(res);
        EXPECT_EQ(res->get_header_value("Content-Type"), "text/html; charset=utf-8");
        EXPECT_EQ(res->body.rfind("{\"Version\":", 0), 0u) << res->body;
        const auto json = nlohmann::json::parse(res->body);
        ASSERT_TRUE(json.is_object());
        EXPECT_EQ(json.size(), 2u);
        EXPECT_EQ(json.at("Version"), c.version);
        EXPECT_EQ(json.at("Info"), c.info);
    }
}

TEST(DemoService, VersionFileStaysValidJsonForInfoThatIsNotUtf8)
{
    RunningService service({"1.0.0.3", "bad \xff\xfe bytes"});
    const auto res = service.Get("/ver/ver.html");
    ASSERT_TRUE(res);
    const auto json = nlohmann::json::parse(res->body);
    EXPECT_EQ(json.at("Version"), "1.0.0.3");
    EXPECT_EQ(json.at("Info").get<std::string>().rfind("bad ", 0), 0u);
}

TEST(DemoService, AboutPageClosesItselfAndShowsTheVersion)
{
    RunningService service({"3.1.4.1", ""});
    const auto res = service.Get("/pcClient/about.html");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 200);
    Find(res->body, "QuillmarkERP");
    Find(res->body, "3.1.4.1");
    Find(res->body, "onclick=\"window.close()\">关闭</button>");
}

TEST(DemoService, ServesTheInvoiceAndTheLongTableLinkedFromTheStartPage)
{
    RunningService service;
    const auto start = service.Get("/");
    ASSERT_TRUE(start);
    Find(start->body, "href=\"/invoice.html\"");
    Find(start->body, "href=\"/table.html\"");
    const auto invoice = service.Get("/invoice.html");
    ASSERT_TRUE(invoice);
    EXPECT_EQ(invoice->status, 200);
    Find(invoice->body, "onclick=\"window.print()\"");
    const auto table = service.Get("/table.html");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->status, 200);
    Find(table->body, "<table class=\"list\" id=\"list\">");
}

TEST(DemoService, PopupPageIsTitledWithItsNumber)
{
    RunningService service;
    struct Case {
        const char* target;
        const char* title;
    };
    const Case cases[] = {
        {"/popup.html?n=7", "<title>弹出页面 7</title>"},
        {"/popup.html", "<title>弹出页面 1</title>"},
        {"/popup.html?n=-3", "<title>弹出页面 1</title>"},
        {"/popup.html?n=%3Cb%3E", "<title>弹出页面 1</title>"},
        {"/popup.html?n=99999999999999999999", "<title>弹出页面 1000000</title>"},
    };
    for (const auto& c : cases) {
        const auto res = service.Get(c.target);
        ASSERT_TRUE(res) << c.target;
        Find(res->body, c.title);
    }
    Find(service.Get("/popup.html?n=7")->body, "/popup.html?n=8");
}

TEST(DemoService, CookiePagesSetASessionAndAKeptCookieAndReflectTheHeader)
{
    RunningService service;
    const auto set = service.Get("/cookie/set");
    ASSERT_TRUE(set);
    ASSERT_EQ(set->get_header_value_count("Set-Cookie"), 2u);
    const std::string first = set->get_header_value("Set-Cookie", 0);
    const std::string second = set->get_header_value("Set-Cookie", 1);
    const std::string& session = first.rfind("QuillmarkSession=", 0) == 0 ? first : second;
    const std::string& kept = &session == &first ? second : first;
    EXPECT_EQ(session.find("Max-Age"), std::string::npos) << session;
    EXPECT_EQ(session.find("Expires"), std::string::npos) << session;
    EXPECT_EQ(kept.rfind("QuillmarkKept=", 0), 0u) << kept;
    Find(kept, "Max-Age=");

    const auto shown =
        service.Get("/cookie/show", {{"Cookie", "QuillmarkSession=123; other=<i>x</i>"}});
    ASSERT_TRUE(shown);
    Find(shown->body, "QuillmarkSession=123; other=&lt;i&gt;x&lt;/i&gt;");
    EXPECT_EQ(shown->body.find("<i>x</i>"), std::string::npos);
    Find(shown->body, "存在</span>，值为 <code>123</code>");
    Find(shown->body, "不存在");

    const auto none = service.Get("/cookie/show");
    ASSERT_TRUE(none);
    Find(none->body, "（没有）");
}

TEST(DemoService, ServesTheDownloadAsAnAttachmentAndThePicture)
{
    RunningService service;
    const auto csv = service.Get("/download/report.csv");
    ASSERT_TRUE(csv);
    EXPECT_EQ(csv->status, 200);
    EXPECT_EQ(csv->get_header_value("Content-Disposition"), "attachment; filename=\"report.csv\"");
    Find(csv->body, "楼盘,");

    for (const char* image : {"/static/picture.png", "/static/logo.png", "/favicon.ico"}) {
        const auto png = service.Get(image);
        ASSERT_TRUE(png) << image;
        EXPECT_EQ(png->get_header_value("Content-Type"), "image/png");
        EXPECT_EQ(png->body.substr(0, 8), "\x89PNG\r\n\x1a\n") << image;
    }
    const auto css = service.Get("/static/style.css");
    ASSERT_TRUE(css);
    EXPECT_EQ(css->status, 200);
}

TEST(DemoService, LargeDownloadIsMadeOnTheFlyAndTheDroppingOneBreaksSixTimesInSeven)
{
    RunningService service;
    const auto large = service.Get("/download/large.bin?mb=3&mbps=0");
    ASSERT_TRUE(large);
    EXPECT_EQ(large->get_header_value("Content-Disposition"), "attachment; filename=\"large.bin\"");
    ASSERT_EQ(large->body.size(), std::size_t(3) << 20);
    EXPECT_EQ(large->body.substr(0, 3), "abc");
    EXPECT_EQ(large->body[(std::size_t(3) << 20) - 1], char('a' + ((3 << 20) - 1) % 26));

    for (int i = 0; i < 6; ++i) {
        const auto broken = service.Get("/download/large.bin?mb=2&mbps=0&drop=1");
        EXPECT_TRUE(!broken || broken->body.size() < (std::size_t(2) << 20));
    }
    const auto again = service.Get("/download/large.bin?mb=2&mbps=0&drop=1");
    ASSERT_TRUE(again);
    EXPECT_EQ(again->body.size(), std::size_t(2) << 20);
}

TEST(DemoService, UnknownPathsGetAnEscapedChineseNotFoundPage)
{
    RunningService service;
    for (const char* target : {"/missing%3Cb%3E.html", "/ver/verXhtml", "/static/other.png"}) {
        const auto res = service.Get(target);
        ASSERT_TRUE(res) << target;
        EXPECT_EQ(res->status, 404) << target;
        Find(res->body, "页面不存在");
    }
    Find(service.Get("/missing%3Cb%3E.html")->body, "/missing&lt;b&gt;.html");
}

TEST(DemoService, LogsOneLinePerRequestWithTheLanguage)
{
    std::ostringstream log;
    RunningService service({}, &log);
    ASSERT_TRUE(service.Get("/ver/ver.html", {{"Accept-Language", "zh-CN"}}));
    ASSERT_TRUE(service.Get("/a%0Ab"));
    service.Stop(); // the log line is written after the answer; stopping waits for it
    // Each connection has its worker, which logs after answering: the order may vary.
    std::vector<std::string> lines;
    std::istringstream written(log.str());
    for (std::string line; std::getline(written, line);)
        lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"GET /a?b 404  Accept-Language: -",
                                               "GET /ver/ver.html 200  Accept-Language: zh-CN"}));
}

TEST(DemoService, StartFailsOnAPortInUseAndStopIsRepeatable)
{
    RunningService first;
    ASSERT_GT(first.port(), 0);
    demo::DemoService second({});
    EXPECT_EQ(second.Start("127.0.0.1", first.port()), -1);
    second.Stop();
    first.Stop();
    first.Stop();
    EXPECT_FALSE(first.Get("/"));
}

} // namespace
