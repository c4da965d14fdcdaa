#pragma once
// Printing a page: a preview of the page as the engine lays it out for the printer (with
// "页面设置..." for paper and orientation), its "打印..." button opens the system print
// dialog (which offers the PDF printer), and the job then goes to the printer or the PDF
// file. One flow per window at a time: requests while one runs are dropped, so a page
// that prints in a loop gets one dialog at a time. No nested event loops: the dialogs
// are window-modal and children of the page's view, so they close with its tab
// (engine::CloseBrowsersIn rejects them). The engine lays the page out on its own
// process; a printer job is drawn on a worker of its own, never blocking the window,
// and the client ends only once it is over (core::TCommonThread::JoinAll).
// UI thread only.

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class QLabel;
class QPdfDocument;
class QPrinter;
class QTemporaryFile;
class QWebEngineView;

class TPrintFlow : public QObject {
    Q_OBJECT
public:
    explicit TPrintFlow(QObject* parent = nullptr);
    ~TPrintFlow() override;

    // Starts printing the view's page; does nothing while a flow runs.
    void Start(QWebEngineView* view);
    bool Running() const { return running_; }
    // The printer of the running flow (its settings are the dialogs'); null otherwise.
    QPrinter* Printer() const { return printer_.get(); }
    // The preview of the running flow, once the engine has laid the page out.
    QDialog* Preview() const { return preview_; }

signals:
    // The flow ended: printed (or saved), cancelled or failed.
    void Finished(bool printed);

private:
    // Asks the engine for the page as PDF in the printer's layout; `then` gets it (empty
    // on failure) unless the flow ended meanwhile.
    void RequestPdf(bool withRanges, std::function<void(const QByteArray&)> then);
    void ShowPreview(const QByteArray& pdf);
    void LoadPreview(const QByteArray& pdf);
    void AskPageSetup();
    void AskPrinter();
    void Print(const QByteArray& pdf);
    void Fail(const QString& message);
    void End(bool printed);

    bool running_ = false;
    QPointer<QWebEngineView> view_;
    // Shared with the dialogs that hold it, so it outlives whichever goes last.
    std::shared_ptr<QPrinter> printer_;
    QPointer<QDialog> preview_;
    QLabel* pageCount_ = nullptr;
    QPdfDocument* document_ = nullptr;
    // The previewed PDF: the document reads its pages from it while it is shown.
    std::unique_ptr<QTemporaryFile> documentFile_;
    // Tells callbacks of an earlier flow from the current one.
    int generation_ = 0;
};
