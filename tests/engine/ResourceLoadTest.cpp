// OnBeforeResourceLoad: headers set by the handler reach the server on every kind of
// request of a page and of its popups; a cancelled request never leaves the client.

#include <QWidget>
#include <httplib.h>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;

namespace {

// A document with a picture, a fetch and an XHR; the title tells when both answered.
const QByteArray DocumentPage = R"(<html><head><title>Document</title></head><body>
<img src="/picture.png">
<script>
Promise.all([
  fetch('/fetched').then(r => r.text()),
  new Promise(done => {
    const xhr = new XMLHttpRequest();
    xhr.onload = () => done(xhr.responseText);
    xhr.open('GET', '/xhr');
    xhr.send();
  }),
]).then(() => { document.title = 'requests done'; });
</script></body></html>)";

const QByteArray BlockedPicturePage = R"(<html><body>
<img src="/blocked.png" onerror="document.title = 'picture failed'"
     onload="document.title = 'picture loaded'"></body></html>)";

const QByteArray OpenerPage = R"(<html><head><title>Opener</title></head><body><script>
window.open('/popup', 'popup');
</script></body></html>)";

} // namespace

class ResourceLoadTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        server_.Page("/document", DocumentPage);
        server_.Page("/picture.png", engine_test::Png(), "image/png");
        server_.Page("/blocked.png", engine_test::Png(), "image/png");
        server_.Page("/fetched", "f", "text/plain");
        server_.Page("/xhr", "x", "text/plain");
        server_.Page("/picture-page", BlockedPicturePage);
        server_.Page("/blocked-document", "<html><head><title>Reached</title></head></html>");
        server_.Page("/opener", OpenerPage);
        server_.Page("/popup", R"(<html><body><img src="/popup-picture.png"
            onload="document.title = 'Popup'"></body></html>)");
        server_.Page("/popup-picture.png", engine_test::Png(), "image/png");
    }

    void init()
    {
        server_.ClearRequests();
        titles_.clear();
        seen_.clear();
        view_ = std::make_unique<engine::TChromium>();
        view_->OnTitleChange = [this](auto*, auto&, const QString& title) { titles_ << title; };
        // Every request gets the test header; any address with "blocked" in it is cancelled.
        view_->OnBeforeResourceLoad =
            [this](engine::TChromium* sender, const engine::BrowserRef& browser,
                   const engine::FrameRef& frame, engine::Request& request,
                   engine::TReturnValue& result) {
                QCOMPARE(sender, view_.get());
                QVERIFY(!request.IsReadOnly());
                QVERIFY(frame && frame->IsValid());
                seen_.insert(QUrl(request.GetURL()).path(), browser);
                engine::HeaderMap headers;
                request.GetHeaderMap(headers);
                headers.Append("X-Quillmark-Test", "yes");
                headers.Append("X-Twice", "first");
                headers.Append("x-twice", "second");
                request.SetHeaderMap(headers);
                if (request.GetURL().contains("blocked"))
                    result = engine::RV_CANCEL;
            };
        view_->resize(400, 300);
        view_->show();
    }

    void cleanup() { view_.reset(); }

    void headersReachTheServerOnEveryKindOfRequest()
    {
        view_->Load(server_.Url("/document").toString());
        QVERIFY(WaitFor([&] { return titles_.contains("requests done"); }));
        QVERIFY(WaitFor([&] { return !server_.RequestsFor("/picture.png").empty(); }));
        for (const QString path : {"/document", "/picture.png", "/fetched", "/xhr"}) {
            const auto requests = server_.RequestsFor(path);
            QVERIFY2(requests.size() == 1, qPrintable(path));
            QCOMPARE(requests.front().Headers.value("x-quillmark-test"), QString("yes"));
            // One header, both values: a second header line would have left only one.
            QCOMPARE(requests.front().Headers.value("x-twice"), QString("first, second"));
            QCOMPARE(seen_.value(path), view_->Browser());
        }
    }

    void headersReachTheServerOnAPopupsDocument()
    {
        QWidget parent;
        engine_test::OpenPopupsIn(*view_, &parent);
        view_->Load(server_.Url("/opener").toString());
        QVERIFY(WaitFor([&] { return titles_.contains("Popup"); }));
        for (const QString path : {"/popup", "/popup-picture.png"}) {
            const auto requests = server_.RequestsFor(path);
            QVERIFY2(requests.size() == 1, qPrintable(path));
            QCOMPARE(requests.front().Headers.value("x-quillmark-test"), QString("yes"));
            QVERIFY(seen_.value(path));
            QVERIFY(seen_.value(path)->IsPopup());
        }
    }

    void cancelledRequestNeverReachesTheServer()
    {
        view_->Load(server_.Url("/picture-page").toString());
        QVERIFY(WaitFor([&] { return titles_.contains("picture failed"); }));
        QVERIFY(seen_.contains("/blocked.png"));
        QVERIFY(server_.RequestsFor("/blocked.png").empty());
    }

    void cancelledDocumentEndsTheLoad()
    {
        QList<bool> loading;
        view_->OnLoadingStateChange = [&](auto*, auto&, bool isLoading, bool, bool) {
            loading << isLoading;
        };
        view_->Load(server_.Url("/blocked-document").toString());
        QVERIFY(WaitFor([&] { return loading.contains(false); }));
        QVERIFY(seen_.contains("/blocked-document"));
        QVERIFY(server_.RequestsFor("/blocked-document").empty());
        QVERIFY(!titles_.contains("Reached"));
    }

    // A header the engine cannot send as it stands would stop the whole client: such
    // headers are left out, the others go, and nothing reaches the server as another.
    void unsendableHeadersAreLeftOut()
    {
        view_->OnBeforeResourceLoad = [](auto*, auto&, auto&, engine::Request& request, auto&) {
            engine::HeaderMap headers;
            headers.Append("X-Split", "a\r\nX-Injected: yes");
            headers.Append("X-Nul", QString("a") + QChar(0) + "b");
            headers.Append("", "empty name");
            headers.Append("X Space", "b");
            headers.Append("X-Colon:", "c");
            headers.Append("X-名字", "d");
            headers.Append("X-Tab", "a\tb");
            headers.Append("X-Unicode", "值");
            request.SetHeaderMap(headers);
        };
        view_->Load(server_.Url("/document").toString());
        QVERIFY(WaitFor([&] { return titles_.contains("requests done"); }));
        const auto headers = server_.RequestsFor("/document").front().Headers;
        QCOMPARE(headers.value("x-tab"), QString("a\tb"));
        QCOMPARE(headers.value("x-unicode").toUtf8(), QString("值").toUtf8());
        for (const QString name : {"x-injected", "x-split", "x-nul", "x space", "x-colon"})
            QVERIFY2(!headers.contains(name), qPrintable(name));
    }

private:
    TestServer server_;
    std::unique_ptr<engine::TChromium> view_;
    QStringList titles_;
    QMap<QString, engine::BrowserRef> seen_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<ResourceLoadTest>(argc, argv);
}

#include "ResourceLoadTest.moc"
