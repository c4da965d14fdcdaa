// A bare engine window that loads one address and ends: the yardstick for the client's
// own cold start.

#include <QApplication>
#include <QWebEngineView>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillmark-bench-bare-page URL\n");
        return 2;
    }
    if (::geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QWebEngineView view;
    QObject::connect(&view, &QWebEngineView::loadFinished, [](bool) {
        std::fprintf(stderr, "page loaded\n");
        std::fflush(stderr);
        QCoreApplication::exit(0);
    });
    view.resize(1024, 700);
    view.show();
    view.load(QUrl::fromUserInput(QString::fromLocal8Bit(argv[1])));
    return app.exec();
}
