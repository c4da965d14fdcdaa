// OnJsdialog: alert, confirm and prompt from a real page, answered by the handler,
// suppressed, or left to the engine's own dialog.

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>

#include "EngineTest.h"
#include "engine/Chromium.h"
#include "support/TestServer.h"

using namespace testing_support;
using engine_test::OnNextModal;

// How the handler answers a dialog it takes on.
enum class Reply { Continue, Refuse, Release, Later };
Q_DECLARE_METATYPE(Reply)

namespace {

// The page opens the dialog named in its query and writes the answer into its title.
const QByteArray DialogPage = R"(<html><body><script>
setTimeout(() => {
  const kind = new URLSearchParams(location.search).get('kind');
  let answer = 'done';
  if (kind === 'alert') alert('Hello 你好');
  else if (kind === 'confirm') answer = confirm('Proceed?');
  else answer = prompt('Your name?', 'Zhang 张');
  document.title = 'answer:' + String(answer);
}, 0);
</script></body></html>)";

struct DialogCall {
    int Count = 0;
    engine::BrowserRef Browser;
    QString OriginUrl, AcceptLang, Message, DefaultText;
    engine::TJsDialogType Type = engine::JSDIALOGTYPE_ALERT;
};

engine::TJsDialogType TypeOf(const QString& kind)
{
    if (kind == "alert")
        return engine::JSDIALOGTYPE_ALERT;
    return kind == "confirm" ? engine::JSDIALOGTYPE_CONFIRM : engine::JSDIALOGTYPE_PROMPT;
}

} // namespace

class JsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { server_.Page("/dialog", DialogPage); }

    void cleanup() { titles_.clear(); }

    void handlerAnswersThroughTheCallback_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Reply>("reply");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("expectedMessage");
        QTest::addColumn<QString>("expectedDefault");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("alert") << "alert" << Reply::Continue << ""
                               << "Hello 你好"
                               << ""
                               << "answer:done";
        QTest::newRow("confirm accepted") << "confirm" << Reply::Continue << ""
                                          << "Proceed?"
                                          << ""
                                          << "answer:true";
        QTest::newRow("confirm released unanswered") << "confirm" << Reply::Release << ""
                                                     << "Proceed?"
                                                     << ""
                                                     << "answer:false";
        QTest::newRow("confirm answered later") << "confirm" << Reply::Later << ""
                                                << "Proceed?"
                                                << ""
                                                << "answer:true";
        QTest::newRow("prompt answered") << "prompt" << Reply::Continue << "abc"
                                         << "Your name?"
                                         << "Zhang 张"
                                         << "answer:abc";
        QTest::newRow("prompt refused") << "prompt" << Reply::Refuse << "abc"
                                        << "Your name?"
                                        << "Zhang 张"
                                        << "answer:null";
        QTest::newRow("prompt released unanswered") << "prompt" << Reply::Release << ""
                                                    << "Your name?"
                                                    << "Zhang 张"
                                                    << "answer:null";
        QTest::newRow("prompt answered later") << "prompt" << Reply::Later << "later 晚"
                                               << "Your name?"
                                               << "Zhang 张"
                                               << "answer:later 晚";
    }

    void handlerAnswersThroughTheCallback()
    {
        QFETCH(QString, kind);
        QFETCH(Reply, reply);
        QFETCH(QString, answer);
        engine::TChromium view;
        DialogCall call;
        bool answeredBeforePageGoesOn = false;
        view.OnJsdialog = [&](engine::TChromium* sender, const engine::BrowserRef& browser,
                              const QString& originUrl, const QString& acceptLang,
                              engine::TJsDialogType type, const QString& messageText,
                              const QString& defaultPromptText,
                              const engine::JsDialogCallbackRef& callback, bool&, bool& result) {
            QCOMPARE(sender, &view);
            call = {call.Count + 1, browser,           originUrl, acceptLang,
                    messageText,    defaultPromptText, type};
            result = true;
            if (reply == Reply::Continue || reply == Reply::Refuse)
                callback->Continue(reply == Reply::Continue, answer);
            if (reply == Reply::Later) {
                QTimer::singleShot(300, [this, callback, answer, &answeredBeforePageGoesOn] {
                    answeredBeforePageGoesOn = titles_.isEmpty();
                    callback->Continue(true, answer);
                });
            }
        };
        Show(view, "/dialog?kind=" + kind);

        QFETCH(QString, expectedTitle);
        QVERIFY2(WaitFor([&] { return titles_.contains(expectedTitle); }),
                 qPrintable(titles_.join('|')));
        QCOMPARE(call.Count, 1);
        QCOMPARE(call.Type, TypeOf(kind));
        QTEST(call.Message, "expectedMessage");
        QTEST(call.DefaultText, "expectedDefault");
        QCOMPARE(call.Browser, view.Browser());
        QCOMPARE(call.AcceptLang, QString("zh-CN"));
        const QUrl origin(call.OriginUrl);
        QCOMPARE(origin.host(), server_.Host());
        QCOMPARE(origin.port(), server_.Port());
        if (reply == Reply::Later)
            QVERIFY(answeredBeforePageGoesOn);
    }

    void suppressedDialogIsCancelledUnseen_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("alert") << "alert"
                               << "answer:done";
        QTest::newRow("confirm") << "confirm"
                                 << "answer:false";
        QTest::newRow("prompt") << "prompt"
                                << "answer:null";
    }

    void suppressedDialogIsCancelledUnseen()
    {
        QFETCH(QString, kind);
        engine::TChromium view;
        view.OnJsdialog = [&](auto*, auto&, auto&, auto&, auto, auto&, auto&, auto&,
                              bool& suppressMessage, bool& result) {
            suppressMessage = true;
            result = false;
        };
        Show(view, "/dialog?kind=" + kind);
        // A dialog shown instead would block the page, and no one answers it here.
        QFETCH(QString, expectedTitle);
        QVERIFY2(WaitFor([&] { return titles_.contains(expectedTitle); }, 3000),
                 qPrintable(titles_.join('|')));
    }

    // Result false, or no handler at all: the engine shows its own dialog to the user.
    void engineDialogWhenNotHandled_data()
    {
        QTest::addColumn<bool>("withHandler");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("expectedTitle");
        QTest::newRow("alert, no handler") << false << "alert" << true << "answer:done";
        QTest::newRow("confirm accepted") << true << "confirm" << true << "answer:true";
        QTest::newRow("confirm cancelled") << true << "confirm" << false << "answer:false";
        QTest::newRow("prompt typed") << true << "prompt" << true << "answer:typed";
        QTest::newRow("prompt, no handler, cancelled")
            << false << "prompt" << false << "answer:null";
    }

    void engineDialogWhenNotHandled()
    {
        QFETCH(bool, withHandler);
        QFETCH(QString, kind);
        QFETCH(bool, accept);
        engine::TChromium view;
        int calls = 0;
        if (withHandler)
            view.OnJsdialog = [&](auto&&...) { ++calls; };
        QString shownText, shownTitle;
        OnNextModal([&](QWidget* modal) {
            shownTitle = modal->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                shownText = box->text();
                // The box answers with the button pressed, not with accept().
                for (QAbstractButton* button : box->buttons()) {
                    const auto role = box->buttonRole(button);
                    if ((role == QMessageBox::AcceptRole) == accept) {
                        button->click();
                        break;
                    }
                }
            } else if (auto* input = qobject_cast<QInputDialog*>(modal)) {
                shownText = input->labelText();
                input->setTextValue("typed");
                accept ? input->accept() : input->reject();
            } else {
                shownText = modal->metaObject()->className();
                modal->close();
            }
            return true;
        });
        Show(view, "/dialog?kind=" + kind);
        QFETCH(QString, expectedTitle);
        QVERIFY2(WaitFor([&] { return titles_.contains(expectedTitle); }),
                 qPrintable(titles_.join('|') + " / " + shownText));
        QCOMPARE(calls, withHandler ? 1 : 0);
        const QString message = kind == "alert"     ? "Hello 你好"
                                : kind == "confirm" ? "Proceed?"
                                                    : "Your name?";
        QVERIFY2(shownText.contains(message), qPrintable(shownText));
        // The host only, never the address with its query.
        QCOMPARE(shownTitle, QStringLiteral("来自 %1 的网页消息").arg(server_.Host()));
    }

    void popupsDialogComesThroughTheFirstView()
    {
        QWidget parent;
        engine::TChromium view;
        engine_test::OpenPopupsIn(view, &parent);
        engine::BrowserRef asked;
        view.OnJsdialog = [&](auto*, const engine::BrowserRef& browser, auto&, auto&, auto, auto&,
                              auto&, const engine::JsDialogCallbackRef& callback, bool&,
                              bool& result) {
            asked = browser;
            result = true;
            callback->Continue(true, QString());
        };
        Show(view, "/dialog?kind=alert");
        QVERIFY(WaitFor([&] { return titles_.contains("answer:done"); }));
        titles_.clear();
        view.Browser()->GetMainFrame()->ExecuteJavaScript("window.open('/dialog?kind=confirm')");
        QVERIFY(WaitFor([&] { return titles_.contains("answer:true"); }));
        QVERIFY(asked && asked->IsPopup());
        QCOMPARE(asked->GetHost().GetWindowHandle()->parentWidget(), &parent);
    }

private:
    void Show(engine::TChromium& view, const QString& path)
    {
        view.OnTitleChange = [this](auto*, auto&, const QString& title) {
            if (title.startsWith("answer:"))
                titles_ << title;
        };
        view.resize(400, 300);
        view.show();
        view.Load(server_.Url(path).toString());
    }

    TestServer server_;
    QStringList titles_;
};

int main(int argc, char** argv)
{
    return engine_test::RunEngineTest<JsDialogTest>(argc, argv);
}

#include "JsDialogTest.moc"
