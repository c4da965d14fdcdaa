#include "ui/FindBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QToolButton>
#include <QWebEngineFindTextResult>
#include <QWebEngineView>

namespace {

constexpr int BarHeight = 34;

QToolButton* AddButton(QHBoxLayout* layout, const QString& text, const QString& tip)
{
    auto* button = new QToolButton;
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button);
    return button;
}

} // namespace

TFindBar::TFindBar(QWebEngineView* view)
    : QFrame(view->parentWidget()), view_(view), edit_(new QLineEdit), count_(new QLabel)
{
    setObjectName(QStringLiteral("FindBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setFixedHeight(BarHeight);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->addWidget(new QLabel(QStringLiteral("查找：")));
    edit_->setClearButtonEnabled(true);
    edit_->setMaximumWidth(320);
    edit_->installEventFilter(this);
    layout->addWidget(edit_);
    QToolButton* previous =
        AddButton(layout, QStringLiteral("上一个"), QStringLiteral("Shift+Enter"));
    QToolButton* next = AddButton(layout, QStringLiteral("下一个"), QStringLiteral("Enter"));
    count_->setObjectName(QStringLiteral("FindCount"));
    layout->addWidget(count_);
    layout->addStretch();
    QToolButton* close = AddButton(layout, QStringLiteral("×"), QStringLiteral("关闭 (Esc)"));

    connect(edit_, &QLineEdit::textChanged, this, [this] { Find(false); });
    connect(previous, &QToolButton::clicked, this, &TFindBar::FindPrevious);
    connect(next, &QToolButton::clicked, this, &TFindBar::FindNext);
    connect(close, &QToolButton::clicked, this, &TFindBar::CloseBar);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, &TFindBar::CloseBar);

    connect(view->page(), &QWebEnginePage::findTextFinished, this, &TFindBar::ShowResult);
    // The page's own highlight goes with a new document: search it again.
    connect(view->page(), &QWebEnginePage::loadFinished, this, [this] {
        if (isVisible() && !Text().isEmpty())
            Find(false);
    });
    parentWidget()->installEventFilter(this);
    hide();
}

TFindBar* TFindBar::OpenFor(QWebEngineView* view)
{
    TFindBar* bar = Of(view);
    if (!bar)
        bar = new TFindBar(view);
    bar->Place();
    bar->show();
    bar->raise();
    bar->edit_->setFocus(Qt::ShortcutFocusReason);
    bar->edit_->selectAll();
    if (!bar->Text().isEmpty())
        bar->Find(false);
    return bar;
}

TFindBar* TFindBar::Of(const QWebEngineView* view)
{
    const QWidget* container = view ? view->parentWidget() : nullptr;
    if (!container)
        return nullptr;
    for (auto* bar : container->findChildren<TFindBar*>(QString(), Qt::FindDirectChildrenOnly))
        if (bar->view_ == view)
            return bar;
    return nullptr;
}

void TFindBar::CloseBar()
{
    hide();
    count_->clear();
    if (!view_)
        return;
    view_->findText(QString());
    view_->setFocus();
}

QString TFindBar::Text() const
{
    return edit_->text();
}

QString TFindBar::CountText() const
{
    return count_->text();
}

void TFindBar::FindNext()
{
    Find(false);
}

void TFindBar::FindPrevious()
{
    Find(true);
}

void TFindBar::Find(bool backward)
{
    if (!view_)
        return;
    if (Text().isEmpty()) {
        count_->clear();
        view_->findText(QString());
        return;
    }
    view_->findText(Text(), backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags());
}

void TFindBar::ShowResult(const QWebEngineFindTextResult& result)
{
    // Closing the bar clears the highlight, which reports once more.
    if (!isVisible() || Text().isEmpty())
        return;
    count_->setText(QStringLiteral("第 %1 项，共 %2 项")
                        .arg(result.activeMatch())
                        .arg(result.numberOfMatches()));
    count_->setStyleSheet(result.numberOfMatches() == 0 ? QStringLiteral("color: #b00020;")
                                                        : QString());
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        Place();
    } else if (watched == edit_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Find(key->modifiers() & Qt::ShiftModifier);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void TFindBar::Place()
{
    const QWidget* container = parentWidget();
    setGeometry(0, container->height() - BarHeight, container->width(), BarHeight);
}
