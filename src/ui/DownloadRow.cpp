#include "ui/DownloadRow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include "core/TransferFigures.h"
#include "ui/AppMessageBox.h"
#include "ui/PlainToolTip.h"

namespace {

using State = engine::TDownload::TState;
using Failure = engine::TDownload::TFailure;

QString Bytes(qint64 bytes)
{
    return QString::fromStdString(core::FormatByteCount(bytes));
}

QPushButton* Button(const QString& text, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TDownloadRow::TDownloadRow(engine::TDownload* download, QWidget* parent)
    : QWidget(parent), download_(download), name_(new QLabel(this)),
      progress_(new QProgressBar(this)), status_(new QLabel(this)),
      open_(Button(QStringLiteral("打开"), QStringLiteral("openButton"), this)),
      folder_(Button(QStringLiteral("打开所在文件夹"), QStringLiteral("folderButton"), this)),
      retry_(Button(QStringLiteral("重试"), QStringLiteral("retryButton"), this)),
      cancel_(Button(QStringLiteral("取消"), QStringLiteral("cancelButton"), this))
{
    QFont bold = name_->font();
    bold.setBold(true);
    name_->setFont(bold);
    name_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // The name comes from the page or the server: never markup.
    for (QLabel* label : {name_, status_})
        label->setTextFormat(Qt::PlainText);
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(8);
    status_->setObjectName(QStringLiteral("status"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {open_, folder_, retry_, cancel_})
        buttons->addWidget(button);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addWidget(name_, 0, 0);
    layout->addWidget(progress_, 1, 0);
    layout->addWidget(status_, 2, 0);
    layout->addLayout(buttons, 3, 0);

    connect(open_, &QPushButton::clicked, this, [this] {
        if (download_)
            OpenInDesktop(download_->TargetPath());
    });
    connect(folder_, &QPushButton::clicked, this, [this] {
        if (download_)
            OpenInDesktop(QFileInfo(download_->TargetPath()).absolutePath());
    });
    connect(retry_, &QPushButton::clicked, this, [this] {
        if (download_)
            download_->Retry();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (download_)
            download_->Cancel();
    });
    connect(download, &engine::TDownload::Changed, this, &TDownloadRow::Refresh);
    Refresh();
}

QString TDownloadRow::FailureText(Failure failure)
{
    switch (failure) {
    case Failure::DiskFull:
        return QStringLiteral("磁盘空间不足");
    case Failure::AccessDenied:
        return QStringLiteral("没有写入保存位置的权限");
    case Failure::FolderMissing:
        return QStringLiteral("保存位置的文件夹已不存在");
    case Failure::FileError:
        return QStringLiteral("无法写入文件");
    case Failure::Network:
        return QStringLiteral("网络连接中断");
    case Failure::Server:
        return QStringLiteral("服务器拒绝了下载或出错");
    case Failure::None:
        break;
    }
    return {};
}

QString TDownloadRow::StatusText() const
{
    if (!download_)
        return {};
    const qint64 received = download_->ReceivedBytes();
    const qint64 total = download_->TotalBytes();
    switch (download_->State()) {
    case State::Asking:
    case State::Running: {
        const QString bytes = total > 0
                                  ? QStringLiteral("%1 / %2").arg(Bytes(received), Bytes(total))
                                  : Bytes(received);
        const double rate = download_->BytesPerSecond();
        const QString figures = QStringLiteral("%1，%2/s").arg(bytes, Bytes(qint64(rate)));
        const std::string left = core::FormatTimeLeft(total > 0 ? total - received : 0, rate);
        return left.empty() ? figures
                            : QStringLiteral("%1，%2").arg(figures, QString::fromStdString(left));
    }
    case State::Moving:
        return QStringLiteral("正在保存到 %1")
            .arg(QFileInfo(download_->TargetPath()).absolutePath());
    case State::Done:
        return QStringLiteral("已完成，%1，保存在 %2")
            .arg(Bytes(received), QFileInfo(download_->TargetPath()).absolutePath());
    case State::Failed:
        return QStringLiteral("下载失败：%1").arg(FailureText(download_->Failure()));
    case State::Cancelled:
        return QStringLiteral("已取消");
    }
    return {};
}

void TDownloadRow::Refresh()
{
    if (!download_)
        return;
    const State state = download_->State();
    name_->setText(download_->FileName());
    setToolTip(PlainToolTip(download_->TargetPath()));
    const qint64 total = download_->TotalBytes();
    if (state == State::Done) {
        progress_->setRange(0, 1);
        progress_->setValue(1);
    } else if (total > 0) {
        progress_->setRange(0, 1000);
        progress_->setValue(int(download_->ReceivedBytes() * 1000 / total));
    } else {
        // No size from the server: a busy bar while it runs.
        progress_->setRange(0, state == State::Running ? 0 : 1);
        progress_->setValue(0);
    }
    progress_->setVisible(state == State::Running || state == State::Moving ||
                          state == State::Done);
    status_->setText(StatusText());
    open_->setVisible(state == State::Done);
    folder_->setVisible(state == State::Done);
    retry_->setVisible(state == State::Failed || state == State::Cancelled);
    cancel_->setVisible(state == State::Running);
}

void TDownloadRow::OpenInDesktop(const QString& path)
{
    if (!QFileInfo::exists(path)) {
        AppMessageBox(QStringLiteral("找不到 %1，它可能已被移动或删除。").arg(path), MB_WARNING);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        AppMessageBox(QStringLiteral("没有可以打开 %1 的程序。").arg(path), MB_WARNING);
}
