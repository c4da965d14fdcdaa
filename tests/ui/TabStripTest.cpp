// The tab strip: its mouse rules driven with synthetic events, the hover repaints,
// drawing (captions, loading animation, hit areas, tab width), more pages than the
// strip keeps slots for, and more tabs than fit.

#include <QApplication>
#include <QBuffer>
#include <QHelpEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include "MainWindowFixture.h"
#include "WindowLifeSupport.h"
#include "core/TabGeometry.h"
#include "ui/PostedMessages.h"

using namespace testing_support;

namespace {

const QString Host = QStringLiteral("127.44.4.1");

// Records the close requests (message 2039) the window receives; holds them back unless
// told to let them through.
class CloseTabSpy : public QObject {
public:
    explicit CloseTabSpy(QObject* window) { window->installEventFilter(this); }
    QList<int> Indices() const { return indices_; }
    void Clear() { indices_.clear(); }
    bool PassThrough = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != zph::WM_CLOSETAB)
            return false;
        indices_ << static_cast<TPageIndexMessage*>(event)->PageIndex;
        return !PassThrough;
    }

private:
    QList<int> indices_;
};

// Counts the paint events of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Count() const { return count_; }
    void Reset() { count_ = 0; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count_ += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }

private:
    int count_ = 0;
};

// Where on the strip a mouse action happens.
enum class Spot { TabBody, CloseButton, BesideTabs };

struct MouseStep {
    enum Kind { Press, Release, DoubleClick, ElapseDoubleClickTime } kind;
    Qt::MouseButton button = Qt::LeftButton;
    Spot spot = Spot::TabBody;
    int page = 0;
};
using MouseSteps = QList<MouseStep>;

// A press and a release, and the full sequence of a double click.
MouseSteps Click(Qt::MouseButton button, Spot spot, int page)
{
    return {{MouseStep::Press, button, spot, page}, {MouseStep::Release, button, spot, page}};
}
MouseSteps DoubleClick(Spot spot, int page)
{
    return Click(Qt::LeftButton, spot, page) +
           MouseSteps{{MouseStep::DoubleClick, Qt::LeftButton, spot, page},
                      {MouseStep::Release, Qt::LeftButton, spot, page}};
}

} // namespace

Q_DECLARE_METATYPE(MouseSteps)

class TabStripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(server_.Port() == 6868, "the test's own service address is taken");
        ServeStartAndPopups(server_);
        QImage red(16, 16, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        red.save(&buffer, "PNG");
        server_.Page("/red.png", png, "image/png");
        server_.Page("/iconic", "<html><head><title>Iconic</title>"
                                "<link rel='icon' href='/red.png'></head><body>i</body></html>");
    }

    void init()
    {
        form_ = fixture_.Open(server_);
        QVERIFY(form_);
    }

    void cleanup() { form_.reset(); }

    void mouseRules_data()
    {
        QTest::addColumn<MouseSteps>("steps");
        QTest::addColumn<QList<int>>("closed");
        using S = MouseStep;
        const auto L = Qt::LeftButton, R = Qt::RightButton, M = Qt::MiddleButton;
        // Pages 2, 3 and 4 are popups; page 4 is active at the start of each row.
        QTest::newRow("double click on a tab") << DoubleClick(Spot::TabBody, 3) << QList<int>{3};
        QTest::newRow("double click beside the tabs")
            << DoubleClick(Spot::BesideTabs, 0) << QList<int>{4};
        QTest::newRow("double click on the start tab")
            << DoubleClick(Spot::TabBody, 1) << QList<int>{};
        QTest::newRow("presses a double-click time apart")
            << Click(L, Spot::TabBody, 3) + MouseSteps{{S::ElapseDoubleClickTime}} +
                   Click(L, Spot::TabBody, 3)
            << QList<int>{};
        // A double click is two presses of the same button.
        QTest::newRow("right press, then left press")
            << Click(R, Spot::TabBody, 4) + MouseSteps{{S::Press, L, Spot::TabBody, 4}}
            << QList<int>{};
        QTest::newRow("close button of the active tab")
            << Click(L, Spot::CloseButton, 4) << QList<int>{4};
        // Each click on a close button closes one tab, never a third by the double click.
        QTest::newRow("double click on a close button")
            << DoubleClick(Spot::CloseButton, 4) << QList<int>{4, 4};
        QTest::newRow("close button of an inactive tab")
            << Click(L, Spot::CloseButton, 2) << QList<int>{2};
        QTest::newRow("release over another tab's close button")
            << MouseSteps{{S::Press, L, Spot::TabBody, 4}, {S::Release, L, Spot::CloseButton, 3}}
            << QList<int>{};
        QTest::newRow("release beside the tabs")
            << MouseSteps{{S::Press, L, Spot::TabBody, 4}, {S::Release, L, Spot::BesideTabs, 0}}
            << QList<int>{};
        QTest::newRow("start tab's close area") << Click(L, Spot::CloseButton, 1) << QList<int>{};
        QTest::newRow("middle click on the start tab")
            << Click(M, Spot::TabBody, 1) << QList<int>{};
        QTest::newRow("middle click beside the tabs")
            << Click(M, Spot::BesideTabs, 0) << QList<int>{};
        QTest::newRow("middle click on an inactive tab")
            << Click(M, Spot::TabBody, 2) << QList<int>{2};
        QTest::newRow("middle click on the active tab")
            << Click(M, Spot::TabBody, 4) << QList<int>{4};
    }

    void mouseRules()
    {
        QFETCH(MouseSteps, steps);
        QFETCH(QList<int>, closed);
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 3));
        CloseTabSpy spy(&form);
        QCOMPARE(form.PageControl1->ActivePageIndex(), 4);
        form.StripControl().ForgetPress();

        for (const MouseStep& step : steps)
            Act(form, step);
        QCoreApplication::sendPostedEvents(&form, zph::WM_CLOSETAB);
        QCOMPARE(spy.Indices(), closed);
    }

    void pressingInactiveCloseButtonClosesItInTheBackground()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 3));
        CloseTabSpy spy(&form);
        spy.PassThrough = true;
        form.StripControl().ForgetPress();
        Act(form, {MouseStep::Press, Qt::LeftButton, Spot::CloseButton, 2});
        QCOMPARE(form.PageControl1->ActivePageIndex(), 4);
        Act(form, {MouseStep::Release, Qt::LeftButton, Spot::CloseButton, 2});
        QVERIFY(WaitFor([&] { return form.PageControl1->PageCount() == 5; }));
        QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("Popup 1"));
        QCOMPARE(form.PageControl1->ActivePageIndex(), 3);
        QCOMPARE(form.windowTitle(), QStringLiteral("Popup 2 - QuillmarkERP 1.0.0.2"));
    }

    // 1, 60 and 200 tabs 1200 wide: the active one in view, the wheel, the list of all.
    void manyTabsScrollAndAreListed()
    {
        for (const int tabs : {1, 60, 200}) {
            TPageControl control;
            control.resize(1200, 400);
            control.show();
            int changes = 0;
            control.OnChange = [&] { ++changes; };
            for (int i = 0; i < tabs; ++i)
                control.AddPage()->SetCaption(QStringLiteral("标签 %1").arg(i));
            control.SetActivePageIndex(tabs - 1);
            control.SetTabRoom(control.width());
            const core::TTabRow row = control.TabRow();
            const auto inView = [&](int p) {
                const QRect r = control.TabRect(p);
                return r.left() >= row.Left && r.right() < row.Right && control.PageAtX(r.x()) == p;
            };
            QCOMPARE(control.TabWidth(), tabs == 1 ? core::DefaultTabWidth : core::MinTabWidth);
            QCOMPARE(control.findChild<QToolButton*>("TabScrollLeft")->isVisible(), tabs > 1);
            QVERIFY(inView(tabs - 1));

            QWheelEvent wheel({300, 10}, {300, 10}, {}, {0, 120 * tabs}, Qt::NoButton, {},
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(control.Strip(), &wheel);
            QVERIFY(inView(0) && (tabs == 1 || !inView(tabs - 1)));
            auto* list = control.findChild<QMenu*>("TabListMenu");
            emit list->aboutToShow();
            QCOMPARE(list->actions().size(), tabs);
            list->actions()[tabs / 2]->trigger();
            QCOMPARE(control.ActivePageIndex(), tabs / 2);
            QCOMPARE(changes, tabs == 1 ? 0 : 1);
            QVERIFY(inView(tabs / 2) && (tabs == 1 || !inView(0)));
        }
    }

    void pointerRepaintsOnlyWhenCloseButtonLookChanges()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        QVERIFY(WaitFor([&] { return !form.StripControl().Animating(); }));
        QWidget* strip = form.PageControl1->Strip();
        form.PageControl1->RepaintStrip();
        const core::TRect close = form.PageControl1->CloseRect(2);
        const QRect tab = form.PageControl1->TabRect(2);
        PaintCounter paints(strip);

        const struct {
            QPoint pos;
            int repaints;
        } moves[] = {
            {{tab.left() + 30, 10}, -1}, // first movement: every slot learns where it is
            {{tab.left() + 60, 20}, 0},
            {{close.Left, close.Top}, 1}, // enters the close button (edges are inside)
            {{close.Right - 1, close.Bottom - 1}, 0},
            {{close.Right, close.Bottom - 1}, 1}, // right edge is outside
            {{tab.left() + 40, 15}, 0},
            {{close.Left + 3, close.Top + 3}, 1},
            {{close.Left + 3, close.Bottom}, 1}, // bottom edge is outside
        };
        for (const auto& move : moves) {
            paints.Reset();
            QTest::mouseMove(strip, move.pos);
            QCOMPARE(form.PageControl1->Pointer(), std::optional<QPoint>(move.pos));
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
            if (move.repaints >= 0)
                QCOMPARE(paints.Count(), move.repaints);
        }
    }

    void emptyCaptionOfShownTabReadsNewPage()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        form.PageControl1->Page(2)->SetCaption(QString());
        QCOMPARE(form.PageControl1->Page(2)->Caption(), QStringLiteral("新页面"));
        QCOMPARE(form.PageControl1->Page(2)->FittedCaption(), QStringLiteral("新页面"));
        // The spare page's tab is hidden: it keeps its empty caption.
        QVERIFY(form.PageControl1->Page(3)->Caption().isEmpty());
    }

    void loadingAnimationMovesWithTheTimerOnly()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        TBrowserTab* popup = TabOfPage(form, 2);
        TBrowserTab* start = form.Tabs().Find(1);
        QVERIFY(WaitFor([&] { return popup->Loaded && start->Loaded; }));
        const int startFrame = start->LoadingFrame;
        popup->Loaded = false;
        popup->LoadingFrame = 12;
        // Paints (a hover, a resize) leave the animation where it is.
        form.PageControl1->RepaintStrip();
        form.PageControl1->RepaintStrip();
        QCOMPARE(popup->LoadingFrame, 12);
        for (int expected : {13, 14, 0, 1}) {
            form.StripControl().AnimateLoading();
            QCOMPARE(popup->LoadingFrame, expected);
        }
        // A loaded tab's frame stays where it is.
        QCOMPARE(start->LoadingFrame, startFrame);
    }

    void hitAreasFollowTheTabs()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 3));
        SetStripWidth(form, 1008);
        QCOMPARE(form.PageControl1->TabWidth(), 178);
        CheckHitAreas(form);

        // A sixth tab no longer fits: every tab gets 918 / 6 pixels.
        QVERIFY(OpenPopups(form, 2));
        QCOMPARE(VisibleTabs(form), 6);
        QCOMPARE(form.PageControl1->TabWidth(), 153);
        CheckHitAreas(form);

        SetStripWidth(form, 1500);
        QCOMPARE(form.PageControl1->TabWidth(), 178);
        CheckHitAreas(form);

        // A page whose tab is hidden (a popup waiting for its tab) takes no room.
        form.PageControl1->Page(3)->SetTabVisible(false);
        QVERIFY(form.PageControl1->TabRect(3).isEmpty());
        QCOMPARE(form.PageControl1->CloseRect(3), core::TRect{});
        QCOMPARE(form.PageControl1->CloseRect(4), core::CloseButtonRect(2, 178, CaptionTop(form)));
        QCOMPARE(form.PageControl1->PageAtX(form.PageControl1->CloseRect(4).Left), 4);
    }

    void startTabHasNoCloseImage()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        ClickTab(form, 1);
        const QImage strip = form.PageControl1->Strip()->grab().toImage();
        const int W = form.PageControl1->TabWidth();
        const core::TPoint image = core::CloseImagePos(W, form.PageControl1->CloseRect(1).Top);
        auto uniform = [&](int pageIndex) {
            const int left = form.PageControl1->TabRect(pageIndex).left() + image.X;
            const QRgb first = strip.pixel(left, image.Y);
            for (int y = image.Y; y < image.Y + 10; ++y)
                for (int x = left; x < left + 10; ++x)
                    if (strip.pixel(x, y) != first)
                        return false;
            return true;
        };
        QVERIFY(uniform(1));
        QVERIFY(!uniform(2));
        // Its hit area is still kept.
        QCOMPARE(form.PageControl1->CloseRect(1), ExpectedCloseRect(form, 1));
    }

    void loadedTabShowsItsPagesIcon()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 2));
        TBrowserTab* iconic = TabOfPage(form, 3);
        RunScript(iconic, "location = '/iconic'");
        QVERIFY(WaitFor([&] {
            return iconic->Loaded && !iconic->Browser->Page()->icon().isNull() &&
                   form.PageControl1->Page(3)->Caption() == "Iconic";
        }));
        QVERIFY(WaitFor([&] { return TabOfPage(form, 2)->Loaded; }));
        const QImage strip = form.PageControl1->Strip()->grab().toImage();
        auto iconCentre = [&](int page) {
            const QPoint icon = form.PageControl1->TabRect(page).topLeft() + QPoint(5 + 8, 7 + 8);
            return QColor(strip.pixel(icon));
        };
        QCOMPARE(iconCentre(3), QColor(Qt::red));
        QVERIFY(iconCentre(2) != QColor(Qt::red)); // no icon of its own: the client's
    }

    void tooltipShowsFullCaption()
    {
        TFormMain& form = *form_;
        QVERIFY(OpenPopups(form, 1));
        // A page's title reads as it is, markup and all.
        for (const QString& caption : {QStringLiteral("A caption far too long to fit into one tab "
                                                      "of the strip, which cuts it at its end"),
                                       QStringLiteral("<b>客户</b> &lt;列表&gt;")}) {
            form.PageControl1->Page(2)->SetCaption(caption);
            QWidget* strip = form.PageControl1->Strip();
            const QPoint pos = form.PageControl1->TabRect(2).center();
            QHelpEvent help(QEvent::ToolTip, pos, strip->mapToGlobal(pos));
            QApplication::sendEvent(strip, &help);
            QTextDocument shown;
            if (Qt::mightBeRichText(QToolTip::text()))
                shown.setHtml(QToolTip::text());
            else
                shown.setPlainText(QToolTip::text());
            QCOMPARE(shown.toPlainText(), caption);
            QToolTip::hideText();
        }
    }

private:
    static QPoint SpotPos(const TFormMain& form, Spot spot, int page)
    {
        const TPageControl* pc = form.PageControl1;
        switch (spot) {
        case Spot::TabBody:
            return pc->TabRect(page).topLeft() + QPoint(std::min(30, pc->TabWidth() / 2), 14);
        case Spot::CloseButton: {
            const core::TRect r = form.PageControl1->CloseRect(page);
            return QPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
        }
        case Spot::BesideTabs:
            break;
        }
        int right = 0;
        for (int i = 0; i < pc->PageCount(); ++i)
            right = std::max(right, pc->TabRect(i).right());
        return QPoint(right + 40, 14);
    }

    static void Act(TFormMain& form, const MouseStep& step)
    {
        QWidget* strip = form.PageControl1->Strip();
        const QPoint pos = SpotPos(form, step.spot, step.page);
        switch (step.kind) {
        case MouseStep::Press:
            QTest::mousePress(strip, step.button, {}, pos);
            break;
        case MouseStep::Release:
            QTest::mouseRelease(strip, step.button, {}, pos);
            break;
        case MouseStep::DoubleClick:
            QTest::mouseDClick(strip, step.button, {}, pos);
            break;
        case MouseStep::ElapseDoubleClickTime:
            form.StripControl().ForgetPress();
            break;
        }
    }

    static int CaptionTop(const TFormMain& form)
    {
        return core::CaptionTop(QFontMetrics(form.PageControl1->Strip()->font()).height());
    }

    // In the steady layout page p sits in slot p - 1.
    static core::TRect ExpectedCloseRect(const TFormMain& form, int page)
    {
        return core::CloseButtonRect(page - 1, form.PageControl1->TabWidth(), CaptionTop(form));
    }

    // Every visible tab p spans (p - 1) * W to p * W, its close button's hit area is 12
    // pixels square 19 pixels from its right edge, and both are what the mouse rules use,
    // without the strip having painted.
    static void CheckHitAreas(TFormMain& form)
    {
        const int W = form.PageControl1->TabWidth();
        for (int p = 1; p <= form.PageControl1->PageCount() - 2; ++p) {
            const core::TRect tab{(p - 1) * W, 0, p * W, core::TabHeight};
            const QRect strip = form.PageControl1->TabRect(p);
            QCOMPARE(
                core::TRect({strip.left(), strip.top(), strip.right() + 1, strip.bottom() + 1}),
                tab);
            const core::TRect close = form.PageControl1->CloseRect(p);
            QCOMPARE(close, ExpectedCloseRect(form, p));
            QCOMPARE(close.Left, p * W - 19);
            QCOMPARE(form.PageControl1->PageAtX(close.Left), p);
        }
    }

    static void SetStripWidth(TFormMain& form, int width)
    {
        const int frame = form.width() - form.PageControl1->width();
        form.resize(width + frame, form.height());
        QVERIFY(WaitFor([&] { return form.PageControl1->Strip()->width() == width; }));
    }

    TestServer server_{6868, Host};
    MainWindowFixture fixture_;
    std::unique_ptr<TFormMain> form_;
};

int main(int argc, char** argv)
{
    return window_life::RunWindowTest<TabStripTest>(argc, argv);
}

#include "TabStripTest.moc"
