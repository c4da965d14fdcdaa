#pragma once
// TFormAbout: the service's about page in a small borderless window with rounded corners
// and a thin silver frame. The page is loaded as soon as the window exists. Escape closes
// it, also while the page has the keyboard focus; so does the page's own window.close().
// No context menu opens on the page. Shown modally by its creator, which frees it.
// UI thread only.

#include <QDialog>

#include "engine/Chromium.h"

class TFormAbout : public QDialog {
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);
    ~TFormAbout() override;

    engine::TChromium* crm = nullptr;

    // The address of the about page on the service.
    static QString AboutPageUrl();

    void FormCreate();
    void FormShow();
    void FormPaint();
    // True when the key was taken (Escape).
    bool FormKeyDown(int key);
    void crmBeforeContextMenu(engine::TChromium* sender, const engine::BrowserRef& browser,
                              const engine::FrameRef& frame,
                              const engine::ContextMenuParams& params, engine::MenuModel& model);
    void crmClose(engine::TChromium* sender, const engine::BrowserRef& browser, bool& Result);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
