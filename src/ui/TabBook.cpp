#include "ui/TabBook.h"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QSet>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/BrowserView.h"
#include "shared/ZphConst.h"

Q_LOGGING_CATEGORY(lcTabs, "quillmark.ui.tabs")

TSkinTabSheet* TTabBook::PageHolding(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget())
        if (auto* page = qobject_cast<TSkinTabSheet*>(widget))
            return page;
    return nullptr;
}

TTabBook::TTabBook(TPageControl* control, std::function<void(engine::TChromium*)> wire)
    : control_(control), wire_(std::move(wire))
{}

TTabBook::~TTabBook() = default;

void TTabBook::Begin(engine::TChromium* windowView)
{
    nextTabId_ = 1;
    TSkinTabSheet* page = control_->Page(0);
    page->Tag = nextTabId_;
    page->SetTabVisible(false);
    control_->Page(1)->Tag = nextTabId_;
    Add(windowView->Browser(), page);
}

TBrowserTab* TTabBook::Add(const engine::BrowserRef& browser, TSkinTabSheet* page)
{
    auto tab = std::make_unique<TBrowserTab>();
    tab->Browser = browser;
    tab->Page = page;
    records_.push_back(std::move(tab));
    return records_.back().get();
}

TBrowserTab* TTabBook::Find(qint32 id) const
{
    for (auto it = records_.rbegin(); it != records_.rend(); ++it)
        if ((*it)->Page && (*it)->Page->Tag == id)
            return it->get();
    return nullptr;
}

TBrowserTab* TTabBook::Of(const TSkinTabSheet* page) const
{
    for (const auto& tab : records_)
        if (page && tab->Page == page)
            return tab.get();
    return nullptr;
}

TBrowserTab* TTabBook::Active() const
{
    return Of(control_->ActivePage());
}

QWebEngineView* TTabBook::ActiveView() const
{
    const TSkinTabSheet* page = control_->ActivePage();
    return page && page->TabVisible() ? page->findChild<engine::BrowserView*>() : nullptr;
}

std::vector<TBrowserTab*> TTabBook::All() const
{
    std::vector<TBrowserTab*> all;
    for (const auto& tab : records_)
        all.push_back(tab.get());
    return all;
}

QString TTabBook::LayoutProblem() const
{
    const int n = control_->PageCount();
    if (n < 3)
        return QStringLiteral("only %1 pages").arg(n);
    const TSkinTabSheet* windowPage = control_->Page(0);
    if (windowPage->TabVisible() || windowPage->Tag != 1 || !Of(windowPage))
        return QStringLiteral("page 0 is not the hidden page with id 1");
    const TSkinTabSheet* start = control_->Page(1);
    if (!start->TabVisible() || start->Tag != 1 || Find(1) != Of(start) || !Of(start))
        return QStringLiteral("page 1 is not the start tab");
    QSet<qint32> ids{1};
    for (int i = 2; i <= n - 2; ++i) {
        const TSkinTabSheet* page = control_->Page(i);
        if (!page->TabVisible())
            return QStringLiteral("page %1 has a hidden tab").arg(i);
        if (ids.contains(page->Tag) || page->Tag >= nextTabId_)
            return QStringLiteral("page %1 id %2 is not its own").arg(i).arg(page->Tag);
        ids.insert(page->Tag);
        if (!Of(page))
            return QStringLiteral("page %1 has no record of its own").arg(i);
    }
    const TSkinTabSheet* spare = control_->Page(n - 1);
    if (spare->TabVisible() || spare != spare_ || spare->Tag != nextTabId_ || Of(spare) ||
        !spare->Caption().isEmpty())
        return QStringLiteral("page %1 is not the spare page").arg(n - 1);
    // Records of pages that are gone or counted twice.
    if (Count() != n - 1)
        return QStringLiteral("%1 records for %2 tabs").arg(Count()).arg(n - 1);
    return {};
}

void TTabBook::AddSparePage()
{
    TSkinTabSheet* page = control_->AddPage();
    page->SetTabVisible(false);
    page->SetCaption(QString());
    page->Tag = ++nextTabId_;
    spare_ = page;
    emit TabsChanged();
}

TSkinTabSheet* TTabBook::TakeSpare()
{
    TSkinTabSheet* page = spare_;
    if (page)
        AddSparePage();
    return page;
}

engine::TChromium* TTabBook::OpenAddress(const QString& address)
{
    const QString target = address.trimmed().isEmpty() ? QStringLiteral("about:blank") : address;
    const int n = control_->PageCount();
    TSkinTabSheet* page = control_->Page(n - 1);
    page->SetCaption(QString::fromLatin1(zph::AppTitle));
    page->SetTabVisible(true);
    control_->SetActivePageIndex(n - 1);

    auto* layout = qobject_cast<QVBoxLayout*>(page->layout());
    if (!layout) {
        layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    auto* view = new engine::TChromium(page);
    view->DefaultEncoding = QStringLiteral("gb2312");
    // Popups of this tab report through the view, by this id.
    view->Tag = nextTabId_;
    wire_(view);
    layout->addWidget(view);
    view->show();
    view->Load(target);

    TBrowserTab* tab = Add(view->Browser(), page);
    tab->BrowserWindow = view;
    AddSparePage();
    return view;
}

void TTabBook::AdoptPopup(const TPopupInfo& info)
{
    TSkinTabSheet* page = info.Page;
    if (!page)
        return;
    page->SetCaption(QString::fromLatin1(zph::AppTitle));
    TBrowserTab* tab = Of(page);
    if (!tab)
        tab = Add(nullptr, page);
    if (info.Window)
        tab->BrowserWindow = info.Window;
    tab->IsPopup = true;

    page->SetTabVisible(true);
    emit TabsChanged();
    if (!info.Background && !(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier))
        control_->SetActivePageIndex(page->PageIndex());
}

TBrowserTab* TTabBook::RecordTitle(engine::TChromium* sender, const engine::BrowserRef& browser)
{
    if (!browser->IsPopup()) {
        return sender ? Of(qobject_cast<TSkinTabSheet*>(sender->parentWidget())) : nullptr;
    }
    QWidget* window = browser->GetHost().GetWindowHandle();
    auto* page = qobject_cast<TSkinTabSheet*>(window ? window->parentWidget() : nullptr);
    if (!page)
        return nullptr;
    // A popup's title may come before its tab is made.
    TBrowserTab* tab = Of(page);
    if (!tab)
        tab = Add(browser, page);
    if (!tab->BrowserWindow) {
        tab->BrowserWindow = page->findChild<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        tab->Browser = browser;
    }
    return tab;
}

void TTabBook::Close(int p)
{
    int n = control_->PageCount();
    TSkinTabSheet* page = control_->Page(p);
    if (!page || !page->TabVisible() || p == n - 1)
        return;
    if (TBrowserTab* tab = Of(page)) {
        if (tab->Browser)
            tab->Browser->StopLoad();
        tab->Loading = false;
    }
    if (p == 1 && n == 3) {
        emit LastTabClosing();
        return;
    }

    RememberClosed(page);
    TSkinTabSheet* active = control_->ActivePage();
    std::erase_if(records_, [page](const auto& tab) { return tab->Page == page; });
    engine::CloseBrowsersIn(page);
    control_->DeletePage(p);

    emit LoadingChanged();
    // A tab closed in the background leaves the shown tab shown.
    if (active && active != page) {
        control_->SetActivePageIndex(active->PageIndex());
        emit TabsChanged();
        return;
    }
    n = control_->PageCount();
    control_->SetActivePageIndex(p > 0 && p == n - 1 ? p - 1 : p);
    emit ActiveChanged();
}

void TTabBook::Switch(int step)
{
    const int n = control_->PageCount();
    int index = control_->ActivePageIndex();
    for (int tries = 0; tries < n; ++tries) {
        index = (index + step + n) % n;
        if (control_->Page(index)->TabVisible()) {
            if (index != control_->ActivePageIndex()) {
                control_->SetActivePageIndex(index);
                emit ActiveChanged();
            }
            return;
        }
    }
}

void TTabBook::RememberClosed(const TSkinTabSheet* page)
{
    const auto* view = page->findChild<engine::BrowserView*>();
    const QUrl address = view ? view->url() : QUrl();
    if (address.isEmpty() || address.toString() == QLatin1String("about:blank"))
        return;
    closed_.prepend({address.toString(), page->PageIndex()});
    while (closed_.size() > ClosedTabsKept)
        closed_.removeLast();
}

void TTabBook::ReopenClosed()
{
    // Before the start tab exists there is no spare page to open it in.
    if (closed_.isEmpty() || !spare_)
        return;
    const ClosedTab closed = closed_.takeFirst();
    OpenAddress(closed.Address);
    // Back where it was, unless fewer tabs are open now; page 1 stays the start tab's.
    const int opened = control_->PageCount() - 2;
    const int index = std::clamp(closed.PageIndex, 2, opened);
    if (index != opened)
        control_->MovePage(opened, index);
}

void TTabBook::SetLoadState(QWidget* browserWindow, bool loaded)
{
    TSkinTabSheet* page = PageHolding(browserWindow);
    // The window's own view on page 0 has no tab to animate.
    TBrowserTab* tab = page && page->PageIndex() > 0 ? Of(page) : nullptr;
    if (!tab)
        return;
    if (loaded && !tab->Loaded && page->PageIndex() == 1)
        qCInfo(lcTabs) << "start tab loaded";
    tab->Loaded = loaded;
    tab->Loading = !loaded;
    emit LoadingChanged();
}

bool TTabBook::AnyLoading() const
{
    return std::any_of(records_.begin(), records_.end(),
                       [](const auto& tab) { return tab->Loading; });
}

QList<int> TTabBook::LoadingPages() const
{
    QList<int> pages;
    for (const auto& tab : records_)
        if (tab->Loading && tab->Page)
            pages.append(tab->Page->PageIndex());
    std::sort(pages.begin(), pages.end());
    return pages;
}

void TTabBook::MarkForFit()
{
    const int n = control_->PageCount();
    for (int i = 1; i <= n - 2; ++i)
        if (TBrowserTab* tab = Of(control_->Page(i)))
            tab->NeedsFit = true;
}

void TTabBook::Fit(TBrowserTab* tab)
{
    tab->NeedsFit = false;
    if (tab->BrowserWindow && tab->Page) {
        tab->BrowserWindow->setGeometry(QRect(QPoint(0, 0), tab->Page->size()));
        tab->BrowserWindow->update();
    }
}

void TTabBook::Shown(TBrowserTab* tab)
{
    if (tab->NeedsFit)
        Fit(tab);
    if (tab->Browser && tab->BrowserWindow)
        tab->BrowserWindow->setFocus();
}
