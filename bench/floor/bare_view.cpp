// The floor of the start-up figures: a bare web view of a given size showing a page, and
// nothing else: no code of ours, no test support, so what it costs to start is what Qt
// and the engine cost to start.
//   bare_view WIDTH HEIGHT                  a trivial page
//   bare_view WIDTH HEIGHT --write FILE     the file's text written into the view
//   bare_view WIDTH HEIGHT --open FILE      the file opened by its address
#include <QApplication>
#include <QFile>
#include <QUrl>
#include <QWebEngineView>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    const bool write = argc == 5 && std::strcmp(argv[3], "--write") == 0;
    const bool open = argc == 5 && std::strcmp(argv[3], "--open") == 0;
    if (argc != 3 && !write && !open) return 2;
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    QByteArray page = QByteArrayLiteral("<!DOCTYPE html><html><body><p>Ledgrin</p></body></html>");
    const QString file_name = argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString();
    if (write) {
        QFile file(file_name);
        if (!file.open(QIODevice::ReadOnly)) return 2;
        page = file.readAll();
    }
    // Qt sees the program's name alone, as the programs it stands beside.
    int qt_argc = 1;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(qt_argc, argv);
    QWebEngineView view;
    view.setGeometry(0, 0, width, height);
    if (open)
        view.load(QUrl::fromLocalFile(file_name));
    else
        view.setHtml(QString::fromUtf8(page));
    view.show();
    return app.exec();
}
