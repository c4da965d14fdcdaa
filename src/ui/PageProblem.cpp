#include "ui/PageProblem.h"

#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

TPageProblem::TPageProblem(QWidget* window)
    : QWidget(window), heading_(new QLabel(this)), text_(new QLabel(this)),
      status_(new QLabel(this)), button_(new QPushButton(this))
{
    setObjectName(QStringLiteral("PageProblem"));
    setAutoFillBackground(true);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("TPageProblem { background: #f7f7f7; }"
                                 "QLabel#heading { font-size: 20px; color: #333; }"
                                 "QLabel { font-size: 14px; color: #555; }"
                                 "QPushButton { font-size: 14px; padding: 6px 24px; }"));
    heading_->setObjectName(QStringLiteral("heading"));
    for (QLabel* label : {heading_, text_, status_}) {
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignHCenter);
        label->setTextFormat(Qt::PlainText);
    }
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addWidget(heading_);
    layout->addSpacing(12);
    layout->addWidget(text_);
    layout->addWidget(status_);
    layout->addSpacing(16);
    layout->addWidget(button_, 0, Qt::AlignHCenter);
    layout->addStretch(3);
    connect(button_, &QPushButton::clicked, this, &TPageProblem::Activated);
    status_->hide();
    window->installEventFilter(this);
    setGeometry(window->rect());
}

TPageProblem* TPageProblem::ShowOn(QWidget* window)
{
    TPageProblem* problem = Of(window);
    if (!problem)
        problem = new TPageProblem(window);
    problem->show();
    problem->raise();
    return problem;
}

TPageProblem* TPageProblem::Of(const QWidget* window)
{
    if (!window)
        return nullptr;
    for (auto* problem : window->findChildren<TPageProblem*>(QString(), Qt::FindDirectChildrenOnly))
        if (!problem->removed_)
            return problem;
    return nullptr;
}

void TPageProblem::RemoveFrom(QWidget* window)
{
    if (TPageProblem* problem = Of(window)) {
        problem->removed_ = true;
        problem->hide();
        problem->deleteLater();
    }
}

void TPageProblem::SetContent(const QString& heading, const QString& text,
                              const QString& buttonText)
{
    heading_->setText(heading);
    text_->setText(text);
    button_->setText(buttonText);
}

void TPageProblem::SetStatus(const QString& status)
{
    status_->setText(status);
    status_->setVisible(!status.isEmpty());
}

void TPageProblem::SetBusy(bool busy)
{
    button_->setEnabled(!busy);
}

QString TPageProblem::Heading() const
{
    return heading_->text();
}

QString TPageProblem::Text() const
{
    return text_->text();
}

QString TPageProblem::Status() const
{
    return status_->text();
}

bool TPageProblem::eventFilter(QObject* watched, QEvent* event)
{
    // The engine may put a new widget over the page when it reloads: stay on top.
    if (watched == parent() &&
        (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded)) {
        setGeometry(parentWidget()->rect());
        raise();
    }
    return QWidget::eventFilter(watched, event);
}

void TPageProblem::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* refresh = menu.addAction(QStringLiteral("刷新"));
    refresh->setEnabled(button_->isEnabled());
    if (menu.exec(event->globalPos()) == refresh)
        emit Activated();
}
