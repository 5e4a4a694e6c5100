#include "formfixture.h"

#include "widgets/stringgrid.h"
#include "testfiles.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QAction *shownAction(const QList<QAction *> &actions, const QString &caption)
{
    for (QAction *action : actions) {
        if (shownCaption(action) == caption && action->isVisible())
            return action;
    }
    return nullptr;
}

// The test function and data row running now; empty outside a test.
QByteArray runningTest()
{
    const char *function = QTest::currentTestFunction();
    if (!function)
        return QByteArray();
    const char *row = QTest::currentDataTag();
    return row ? QByteArray(function) + '(' + row + ')' : QByteArray(function);
}

} // namespace

QString shownCaption(const QAction *action)
{
    QString caption;
    const QString text = action->text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        caption.append(text[i]);
    }
    return caption;
}

FormFixture::FormFixture(const QByteArray &settings, const QStringList &arguments, const QDate &today,
                         const QString &invoiceFile)
    : m_test(runningTest())
{
    if (!settings.isNull()) {
        QFile file(settingsPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(settings);
    }
    auto prompter = std::make_unique<ScriptedPrompter>();
    prompter->setToday(today);
    m_prompter = prompter.get();
    m_prompter->cancelPrintingUnasked = true;
    m_form = std::make_unique<TForm1>(StartupOptions{executablePath(), arguments, invoiceFile}, std::move(prompter));
}

FormFixture::~FormFixture()
{
    // A failure counts against the running test, so a fixture kept beyond
    // the test that made it would blame another one.
    if (runningTest() != m_test)
        qFatal("The window of test %s outlived it", m_test.constData());
    // After a failure unused answers are expected; the first failure says why.
    if (QTest::currentTestFailed())
        return;
    const QString left = m_prompter->unsettled();
    if (!left.isEmpty())
        QTest::qFail(qPrintable(left), __FILE__, __LINE__);
}

QByteArray FormFixture::settingsBytes() const
{
    return readBytes(settingsPath());
}

bool FormFixture::show()
{
    m_form->show();
    m_form->activateWindow();
    return QTest::qWaitForWindowExposed(m_form.get());
}

void typeIntoGrid(StringGrid *grid, int column, int row, const QString &text)
{
    grid->setFocus();
    grid->setCurrentCell(column, row);
    typeKeys(text);
}

void typeKeys(const QString &text)
{
    // The first key opens a cell's editor, which then has the focus.
    for (QChar c : text)
        if (c.unicode() < 0x80) {
            QTest::keyClick(QApplication::focusWidget(), char(c.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, QApplication::focusWidget(), Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
}

void pressKey(Qt::Key key)
{
    QWidget *target = QApplication::focusWidget();
    if (target)
        QTest::keyClick(target, key);
}

void doubleClick(QWidget *widget, const QPoint &position)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
}

void chooseFromMenuBar(QMainWindow &window, const QStringList &captions)
{
    QMenuBar *bar = window.menuBar();
    QAction *top = shownAction(bar->actions(), captions.constFirst());
    QVERIFY2(top, qPrintable(u"no menu "_s + captions.constFirst()));
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
    QMenu *menu = top->menu();
    for (const QString &caption : captions.sliced(1)) {
        QVERIFY2(menu, qPrintable(caption + u" sought in an item that opens no menu"_s));
        QTRY_VERIFY(menu->isVisible());
        QAction *item = shownAction(menu->actions(), caption);
        clickMenuItem(menu, caption);
        if (!item)
            return;
        menu = item->menu();
    }
}

void clickMenuItem(QMenu *menu, const QString &caption)
{
    QAction *item = shownAction(menu->actions(), caption);
    QVERIFY2(item, qPrintable(u"no item "_s + caption + u" in "_s + shownItems(menu).join(u", "_s)));
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
}

QStringList shownItems(const QMenu *menu)
{
    QStringList captions;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator() || !action->isVisible() || menu->actionGeometry(action).isEmpty())
            continue;
        captions.append(action->isEnabled() ? shownCaption(action) : shownCaption(action) + u" (greyed)"_s);
    }
    return captions;
}

void chooseFromGridPopup(QMenu *popup, StringGrid *grid, int column, int row, const QString &caption)
{
    QVERIFY2(grid->isVisible(), qPrintable(grid->objectName()));
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::RightButton, {}, cell.center());
    QTRY_VERIFY(popup->isVisible());
    clickMenuItem(popup, caption);
}

void clickCell(StringGrid *grid, int column, int row)
{
    QVERIFY2(grid->isVisible(), qPrintable(grid->objectName()));
    const QRect cell = grid->visualRect(grid->model()->index(row, column));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}
