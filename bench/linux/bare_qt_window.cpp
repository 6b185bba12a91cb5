// The yardstick of the Linux goals bench: the least a Qt Widgets program with the
// notes window's parts does: a main window with a menu bar and one plain-text editor,
// shown at the notes window's first-run size; with a file argument, the editor holds
// that file's text (read as Latin-1) when the window first shows. Like the notes
// window, it takes the focus into its editor, whose caret then blinks.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Bare");
    window.menuBar()->addMenu("&File")->addAction("E&xit", &application, &QApplication::quit);
    auto* editor = new QPlainTextEdit(&window);
    if (argc > 1) {
        QFile file(argv[1]);
        if (file.open(QIODevice::ReadOnly)) {
            editor->setPlainText(QString::fromLatin1(file.readAll()));
        }
    }
    window.setCentralWidget(editor);
    window.resize(257, 257);
    window.show();
    window.activateWindow();
    editor->setFocus();
    return QApplication::exec();
}
