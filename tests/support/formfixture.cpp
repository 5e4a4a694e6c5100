#include "formfixture.h"

#include "widgets/stringgrid.h"
#include "testfiles.h"

#include <QApplication>
#include <QFile>
#include <QTest>

FormFixture::FormFixture(const QByteArray &settings, const QStringList &arguments, const QDate &today)
{
    if (!settings.isNull()) {
        QFile file(settingsPath());
        if (file.open(QIODevice::WriteOnly))
            file.write(settings);
    }
    auto prompter = std::make_unique<ScriptedPrompter>();
    prompter->setToday(today);
    m_prompter = prompter.get();
    m_form = std::make_unique<TForm1>(StartupOptions{executablePath(), arguments}, std::move(prompter));
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
