// The yardstick of the Linux goals bench: the least a Qt Widgets program with the
// notes window's parts does: a main window with a menu bar and one plain-text editor,
// shown at the notes window's first-run size.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Bare");
    window.menuBar()->addMenu("&File")->addAction("E&xit", &application, &QApplication::quit);
    window.setCentralWidget(new QPlainTextEdit(&window));
    window.resize(257, 257);
    window.show();
    return QApplication::exec();
}
