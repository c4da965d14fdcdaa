#include "ui/FormDownloads.h"

#include <QLabel>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

#include "engine/DownloadList.h"
#include "ui/DownloadRow.h"

TFormDownloads::TFormDownloads(engine::TDownloadList* downloads, QWidget* parent)
    : QWidget(parent, Qt::Window), rows_(new QVBoxLayout),
      empty_(new QLabel(QStringLiteral("还没有下载。"), this))
{
    setObjectName(QStringLiteral("FormDownloads"));
    setWindowTitle(QStringLiteral("下载"));
    resize(520, 420);
    empty_->setAlignment(Qt::AlignCenter);

    auto* content = new QWidget;
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(0);
    contentLayout->addLayout(rows_);
    contentLayout->addStretch(1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(empty_);
    layout->addWidget(scroll, 1);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

    for (engine::TDownload* download : downloads->Items())
        AddRow(download);
    empty_->setVisible(rowList_.isEmpty());
    connect(downloads, &engine::TDownloadList::Added, this, &TFormDownloads::AddRow);
}

void TFormDownloads::ShowInFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void TFormDownloads::AddRow(engine::TDownload* download)
{
    auto* row = new TDownloadRow(download, this);
    rows_->insertWidget(0, row);
    rowList_.prepend(row);
    empty_->hide();
}
