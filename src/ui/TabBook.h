#pragma once
// TTabBook: the one owner of the main window's tab state. Every browser view of the
// window lives on a page of its TPageControl: page 0 holds the window's own view (tab
// hidden), page 1 the start tab, then the popup tabs (each with an id of its own), and last the
// spare page (tab hidden, no record) in which the next popup's window is made. Each
// page in between has exactly one record; LayoutProblem() states that rule.
//
// UI thread only. The book owns the records; the pages belong to the control, which
// must outlive the book. Ids are the pages' Tags: page 0 and the start tab share id 1,
// and Find(1) is the start tab once it exists.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "engine/Chromium.h"
#include "ui/BrowserTab.h"
#include "ui/PageControl.h"

class QWebEngineView;

class TTabBook : public QObject {
    Q_OBJECT
public:
    // `wire` connects a new view's events to the window.
    TTabBook(TPageControl* control, std::function<void(engine::TChromium*)> wire);
    ~TTabBook() override;

    // Registers the window's own view on page 0 and gives the start tab's page its id.
    void Begin(engine::TChromium* windowView);

    qint32 NextTabId() const { return nextTabId_; }
    // The newest record with the id; null when none.
    TBrowserTab* Find(qint32 id) const;
    TBrowserTab* Of(const TSkinTabSheet* page) const;
    TBrowserTab* Active() const;
    // The strip page a browser window (or view) lives in; null when none.
    static TSkinTabSheet* PageHolding(QWidget* widget);
    // The browser view of the active tab; null when it has none.
    QWebEngineView* ActiveView() const;
    int Count() const { return int(records_.size()); }
    // Every record, for walks over all tabs.
    std::vector<TBrowserTab*> All() const;
    // Empty while the pages and the records follow the rule above.
    QString LayoutProblem() const;

    // The page the next popup's window is made in; null before the start tab exists.
    TSkinTabSheet* Spare() const { return spare_; }
    // Hands the spare page to a popup and makes a new spare page, so that a burst of
    // popups never shares one.
    TSkinTabSheet* TakeSpare();
    // A tab on the spare page loading `address` (blank: about:blank), made active.
    engine::TChromium* OpenAddress(const QString& address);
    // The popup's page gets its tab (and its record, unless an early title made it).
    void AdoptPopup(const TPopupInfo& info);
    // The record of the tab whose page `browser` shows (made for a popup's early title);
    // null when the browser is not on a tab's page.
    TBrowserTab* RecordTitle(engine::TChromium* sender, const engine::BrowserRef& browser);
    // Closes the tab on page p; never page 0, the start tab while others are open, nor
    // the spare page. Closing the start tab when it is the only one asks the window to
    // close instead (LastTabClosing). Closing the active tab activates its neighbour;
    // closing another leaves the active tab active.
    void Close(int p);
    // Ctrl+Tab and Ctrl+Shift+Tab: the next shown tab in `step`'s direction.
    void Switch(int step);
    // Ctrl+Shift+T: the tab closed last, opened again at its place in the strip.
    void ReopenClosed();

    // A load of the browser window's tab started or ended.
    void SetLoadState(QWidget* browserWindow, bool loaded);
    bool AnyLoading() const;
    // Page indexes of the tabs that are loading, in strip order.
    QList<int> LoadingPages() const;

    // The window was resized: tabs in the background are fitted when they are shown.
    void MarkForFit();
    void Fit(TBrowserTab* tab);
    // The active tab was shown: fits it when it missed a resize and gives it the focus.
    void Shown(TBrowserTab* tab);

signals:
    // A tab was made active from code (a close or a switch).
    void ActiveChanged();
    // A tab was shown or closed: the strip's tab width changes.
    void TabsChanged();
    void LoadingChanged();
    void LastTabClosing();

private:
    void AddSparePage();
    TBrowserTab* Add(const engine::BrowserRef& browser, TSkinTabSheet* page);
    void RememberClosed(const TSkinTabSheet* page);

    TPageControl* control_;
    std::function<void(engine::TChromium*)> wire_;
    std::vector<std::unique_ptr<TBrowserTab>> records_;
    qint32 nextTabId_ = 0;
    QPointer<TSkinTabSheet> spare_;
    // The tabs closed last, newest first; Ctrl+Shift+T reopens them where they were.
    struct ClosedTab {
        QString Address;
        int PageIndex = 0;
    };
    static constexpr int ClosedTabsKept = 10;
    QList<ClosedTab> closed_;
};
