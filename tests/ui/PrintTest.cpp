// Printing real pages of the main window: window.print() and Ctrl+P reach the preview,
// one at a time also when a page prints in a loop; the preview and the print dialog close
// with their tab; a 50-page table printed to PDF gives a PDF of 50 pages.

#include <QApplication>
#include <QLabel>
#include <QPdfDocument>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEngineView>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "ui/BrowsingCommands.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.6.1");

QByteArray TablePage(int pages)
{
    QByteArray html = "<html><head><title>Table</title><style>"
                      "div { page-break-after: always; } div:last-child { page-break-after: auto; }"
                      "</style></head><body>";
    for (int i = 1; i <= pages; ++i)
        html += "<div><table><tr><td>第 " + QByteArray::number(i) +
                " 页</td><td>金额</td></tr>"
                "</table></div>";
    return html + "</body></html>";
}

QString PageCountOf(const QDialog* preview)
{
    const auto* label = preview->findChild<QLabel*>(QStringLiteral("PrintPageCount"));
    return label ? label->text() : QString();
}

QPrintDialog* OpenPrintDialog(QDialog* preview)
{
    preview->findChild<QPushButton*>(QStringLiteral("PrintButton"))->click();
    QPrintDialog* dialog = nullptr;
    WaitFor([&] {
        dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        return dialog && dialog->isVisible();
    });
    return dialog;
}

} // namespace

class PrintTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeService(server_, TablePage(50));
        ServePopupPages(server_);
        server_.Page("/loop", "<html><head><title>Loop</title></head><body>invoice<script>"
                              "function printMany() { for (let i = 0; i < 5; ++i) window.print();"
                              " document.title = 'printed'; }</script></body></html>");
    }

    void init()
    {
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void pagePrintingInALoopGetsOneDialogThatClosesWithItsTab()
    {
        TFormMain& form = *form_;
        TPrintFlow& printing = form.Browsing->Printing();
        RunScript(form.Tabs().Find(1), "window.open('/loop')");
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "Loop"; }));
        TBrowserTab* tab = TabOfPage(form, 2);
        QWebEngineView* view = form.Tabs().ActiveView();

        RunScript(tab, "printMany()");
        QVERIFY(WaitFor([&] { return printing.Preview() && printing.Preview()->isVisible(); }));
        QPointer<QDialog> preview = printing.Preview();
        QCOMPARE(preview->windowTitle(), QStringLiteral("打印预览"));
        QCOMPARE(preview->windowModality(), Qt::WindowModal);
        QCOMPARE(PageCountOf(preview), QStringLiteral("共 1 页"));
        // The loop has run to its end by the time the title changes: one preview only.
        QVERIFY(WaitFor([&] { return form.PageControl1->Page(2)->Caption() == "printed"; }));
        QCOMPARE(view->findChildren<QDialog*>(QStringLiteral("PrintPreview")).size(), 1);
        QTest::keyClick(form.windowHandle(), Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(printing.Preview(), preview.data());

        // The system print dialog opens from the preview; closing the tab closes both.
        QPointer<QPrintDialog> dialog = OpenPrintDialog(preview);
        QVERIFY(dialog);
        form.PostMessage(new TPageIndexMessage(2));
        QVERIFY(WaitFor([&] { return preview.isNull() && dialog.isNull(); }));
        QVERIFY(!printing.Running());
        QCOMPARE(VisibleTabs(form), 1);

        // The window carries on: Ctrl+P on the start tab previews its 50 pages. (Without a
        // window manager nothing gives the window back its activation.)
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(form.windowHandle(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(WaitFor([&] { return printing.Preview() && printing.Preview()->isVisible(); }));
        QCOMPARE(PageCountOf(printing.Preview()), QStringLiteral("共 50 页"));
        printing.Preview()->reject();
        QVERIFY(!printing.Running());
    }

    void longTablePrintsToPdf()
    {
        TFormMain& form = *form_;
        TPrintFlow& printing = form.Browsing->Printing();
        QSignalSpy finished(&printing, &TPrintFlow::Finished);
        QTest::keyClick(form.windowHandle(), Qt::Key_P, Qt::ControlModifier);
        QVERIFY(WaitFor([&] { return printing.Preview() && printing.Preview()->isVisible(); }));
        QCOMPARE(PageCountOf(printing.Preview()), QStringLiteral("共 50 页"));

        // The print dialog's PDF printer, as the user picks it there.
        const QString pdf = output_.filePath(QStringLiteral("table.pdf"));
        printing.Printer()->setOutputFileName(pdf);
        QPrintDialog* dialog = OpenPrintDialog(printing.Preview());
        QVERIFY(dialog);
        dialog->accept();
        QVERIFY(WaitFor([&] { return finished.size() == 1; }, 60000));
        QCOMPARE(finished.first().first().toBool(), true);
        QVERIFY(!printing.Running());
        QVERIFY(!printing.Preview());

        QPdfDocument document;
        QCOMPARE(document.load(pdf), QPdfDocument::Error::None);
        QCOMPARE(document.pageCount(), 50);
    }

private:
    TestServer server_{6868, Host};
    QTemporaryDir output_;
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<PrintTest>(argc, argv);
}

#include "PrintTest.moc"
