// The floor for start-up time: a window of plain widgets at fixed positions,
// the least any form-like program of this size must spend before it is idle.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QTimer>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    auto *page = new QWidget;
    window.setCentralWidget(page);

    // 70 label and line edit pairs and 10 check boxes: about the widget count
    // of an invoice page.
    constexpr int pairs = 70;
    constexpr int columns = 2;
    for (int i = 0; i < pairs; ++i) {
        const int x = 8 + (i % columns) * 390;
        const int y = 8 + (i / columns) * 26;
        auto *label = new QLabel(u"Kenttä %1"_s.arg(i + 1), page);
        label->setGeometry(x, y, 120, 21);
        auto *edit = new QLineEdit(u"Arvo %1"_s.arg(i + 1), page);
        edit->setGeometry(x + 128, y, 250, 21);
    }
    for (int i = 0; i < 10; ++i) {
        auto *box = new QCheckBox(u"Valinta %1"_s.arg(i + 1), page);
        box->setGeometry(8 + (i % 5) * 150, 8 + (pairs / columns) * 26 + (i / 5) * 26, 140, 21);
    }

    window.resize(817, 1099);
    window.show();
    // exit(), not quit(): quit() closes the windows first, which is no part of start-up.
    QTimer::singleShot(0, &app, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}
