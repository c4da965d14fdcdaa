#include "ui/PrintFlow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "core/CommonThread.h"
#include "ui/AppMessageBox.h"

Q_LOGGING_CATEGORY(lcPrint, "quillmark.ui.print")

namespace {

// Pages are drawn onto a printer as pictures of this resolution at most.
constexpr int MaxPrintDpi = 300;

// A PDF in a temporary file, for QPdfDocument to read synchronously. Null on failure.
std::unique_ptr<QTemporaryFile> PdfFile(const QByteArray& pdf)
{
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open() || file->write(pdf) != pdf.size() || !file->flush())
        return nullptr;
    return file;
}

// Draws the PDF's pages onto the printer, each over the whole sheet (the engine's pages
// carry the margins). Runs on the job's own thread.
bool DrawOnPrinter(const QByteArray& pdf, QPrinter& printer)
{
    const auto file = PdfFile(pdf);
    QPdfDocument document;
    if (!file || document.load(file->fileName()) != QPdfDocument::Error::None)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect sheet = printer.paperRect(QPrinter::DevicePixel).toRect();
    const double scale = std::min(1.0, double(MaxPrintDpi) / printer.resolution());
    for (int i = 0; i < document.pageCount(); ++i) {
        if (i > 0 && !printer.newPage())
            return false;
        const QImage image = document.render(i, sheet.size() * scale);
        painter.drawImage(QRect(QPoint(0, 0), sheet.size()), image);
    }
    return painter.end();
}

} // namespace

TPrintFlow::TPrintFlow(QObject* parent) : QObject(parent) {}

// The preview goes with its view.
TPrintFlow::~TPrintFlow() = default;

void TPrintFlow::Start(QWebEngineView* view)
{
    if (running_ || !view) {
        qCInfo(lcPrint) << "print request dropped: a print is already under way";
        return;
    }
    running_ = true;
    ++generation_;
    view_ = view;
    printer_ = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer_->setFullPage(true);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setDocName(view->title());
    RequestPdf(false, [this](const QByteArray& pdf) { ShowPreview(pdf); });
}

void TPrintFlow::RequestPdf(bool withRanges, std::function<void(const QByteArray&)> then)
{
    if (!view_) {
        End(false);
        return;
    }
    const QPointer<TPrintFlow> self(this);
    const int generation = generation_;
    view_->page()->printToPdf(
        [self, generation, then = std::move(then)](const QByteArray& pdf) {
            // Also called while the page is destroyed (with nothing): the tab went.
            if (!self || self->generation_ != generation || !self->running_)
                return;
            if (!self->view_) {
                self->End(false);
                return;
            }
            if (pdf.isEmpty()) {
                self->Fail(QStringLiteral("无法打印此页面。"));
                return;
            }
            then(pdf);
        },
        printer_->pageLayout(), withRanges ? printer_->pageRanges() : QPageRanges());
}

void TPrintFlow::ShowPreview(const QByteArray& pdf)
{
    // A child of the view: the view's page rejects it when its tab closes.
    auto* dialog = new QDialog(view_);
    dialog->setObjectName(QStringLiteral("PrintPreview"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setWindowTitle(QStringLiteral("打印预览"));
    dialog->resize(view_->window()->size() * 0.8);
    preview_ = dialog;

    document_ = new QPdfDocument(dialog);
    auto* pages = new QPdfView(dialog);
    pages->setPageMode(QPdfView::PageMode::MultiPage);
    pages->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    pages->setDocument(document_);
    pageCount_ = new QLabel(dialog);
    pageCount_->setObjectName(QStringLiteral("PrintPageCount"));

    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* setup =
        buttons->addButton(QStringLiteral("页面设置..."), QDialogButtonBox::ActionRole);
    QPushButton* print =
        buttons->addButton(QStringLiteral("打印..."), QDialogButtonBox::ActionRole);
    print->setObjectName(QStringLiteral("PrintButton"));
    print->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    connect(setup, &QPushButton::clicked, this, &TPrintFlow::AskPageSetup);
    connect(print, &QPushButton::clicked, this, &TPrintFlow::AskPrinter);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    connect(dialog, &QDialog::rejected, this, [this] { End(false); });

    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(pages, 1);
    auto* row = new QHBoxLayout;
    row->addWidget(pageCount_);
    row->addWidget(buttons, 1);
    layout->addLayout(row);

    LoadPreview(pdf);
    dialog->open();
}

void TPrintFlow::LoadPreview(const QByteArray& pdf)
{
    auto file = PdfFile(pdf);
    if (!file || document_->load(file->fileName()) != QPdfDocument::Error::None) {
        Fail(QStringLiteral("无法打印此页面。"));
        return;
    }
    documentFile_ = std::move(file);
    pageCount_->setText(QStringLiteral("共 %1 页").arg(document_->pageCount()));
}

void TPrintFlow::AskPageSetup()
{
    auto* dialog = new QPageSetupDialog(printer_.get(), preview_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, [keep = printer_] {});
    connect(dialog, &QDialog::accepted, this,
            [this] { RequestPdf(false, [this](const QByteArray& pdf) { LoadPreview(pdf); }); });
    dialog->open();
}

void TPrintFlow::AskPrinter()
{
    auto* dialog = new QPrintDialog(printer_.get(), preview_);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, [keep = printer_] {});
    dialog->setOption(QAbstractPrintDialog::PrintToFile);
    dialog->setOption(QAbstractPrintDialog::PrintPageRange);
    connect(dialog, &QDialog::accepted, this, [this] {
        // From here the preview has done its part; its close must not end the flow.
        preview_->disconnect(this);
        preview_->accept();
        RequestPdf(true, [this](const QByteArray& pdf) { Print(pdf); });
    });
    dialog->open();
}

void TPrintFlow::Print(const QByteArray& pdf)
{
    if (printer_->outputFormat() == QPrinter::PdfFormat) {
        QSaveFile file(printer_->outputFileName());
        if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size() || !file.commit()) {
            Fail(QStringLiteral("无法保存 PDF 文件：%1").arg(file.errorString()));
            return;
        }
        End(true);
        return;
    }
    // The job owns the pages and the printer, so it may outlive the tab and the window;
    // the client's end waits for it.
    core::RunOnceInBackground([pdf, printer = printer_] {
        if (!DrawOnPrinter(pdf, *printer))
            qCWarning(lcPrint) << "printing failed on" << printer->printerName();
    });
    End(true);
}

void TPrintFlow::Fail(const QString& message)
{
    qCWarning(lcPrint) << message;
    if (view_) {
        auto* box = new QMessageBox(QMessageBox::Warning, ApplicationTitle(), message,
                                    QMessageBox::Ok, view_->window());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    End(false);
}

void TPrintFlow::End(bool printed)
{
    if (!running_)
        return;
    running_ = false;
    if (preview_) {
        preview_->disconnect(this);
        preview_->close();
    }
    preview_ = nullptr;
    document_ = nullptr;
    pageCount_ = nullptr;
    documentFile_.reset();
    printer_.reset();
    emit Finished(printed);
}
