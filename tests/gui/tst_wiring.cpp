// Every button, menu item, popup item and check box of the window, given as a
// person gives it, does its own job: each row prepares, acts through the
// widgets and checks what only that command does. The menus are reached from
// the keyboard too, by their underlined letters and shortcuts.

#include "app/inifile.h"
#include "widgets/bevel.h"
#include "widgets/stringgrid.h"
#include "storage/cp1252.h"
#include "tests/support/formfixture.h"
#include "tests/support/testfiles.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// After the due date: no buyer's e-invoice address, no credited invoice, then
// the biller the invoice is issued with, the default biller details.
const QString kIssuedByDefaultBiller = u",\"\",\"\",\"\",\"\",\"Nimi?\",\"Osoite?\",\"\",\"00000 KAUPUNKI?\",\"1234567-8?\","
                                       u"\"1234567-8?\",\"FI00 0000 0000 0000 00?\",\"BANKBANK?\""_s;

QByteArray cp(const QString &text)
{
    return stringToCp1252(text);
}

const QByteArray kRegister = "\"Aalto Anna\",\"Koivukuja 2\",\" \",\" \",\" \",1\r\n"
                             "\"Virtanen Matti\",\"M\xe4ntytie 5\",\" \",\" \",\" \",2\r\n"
                             "\"Virtanen Pekka\",\"Kuusitie 7\",\" \",\" \",\" \",4\r\n";

// The program with a save folder holding three customers, and each print
// margin set apart from the others.
class Program
{
public:
    Program()
    {
        writeBytes(data(u"AsiakRek.csv"_s), kRegister);
        m_fixture = std::make_unique<FormFixture>(
            cp(u"[File]\r\nOletDir="_s + QDir::toNativeSeparators(m_data.path()) + QDir::separator()
               + u"\r\n[Marginaalit]\r\nLeft=3\r\nRight=4\r\nTop=5\r\nBottom=6\r\n"
                 u"BankTrLeft=7\r\nBankTrRight=8\r\n"_s));
    }

    TForm1 &form() { return m_fixture->form(); }
    FormFixture &fixture() { return *m_fixture; }
    ScriptedPrompter &prompter() { return m_fixture->prompter(); }
    QString data(const QString &relative) const { return m_data.filePath(relative); }
    QString setting(const QString &section, const QString &key) const
    {
        return ReadIniString(m_fixture->settingsPath(), section, key, u"<missing>"_s);
    }
    /// The six print margins as the settings file holds them.
    QString margins() const
    {
        QStringList values;
        for (const QString &key : {u"Left"_s, u"Right"_s, u"Top"_s, u"Bottom"_s, u"BankTrLeft"_s, u"BankTrRight"_s})
            values.append(setting(u"Marginaalit"_s, key));
        return values.join(u' ');
    }
    /// A column of a grid from row 1 to `last`, joined by "|".
    static QString column(const StringGrid *grid, int column, int last)
    {
        QStringList texts;
        for (int r = 1; r <= last; ++r)
            texts.append(grid->cell(column, r));
        return texts.join(u'|');
    }
    void fillInvoice()
    {
        form().AsiakNimi1->setEditText(u"Nieminen Oy"_s);
        form().AsiakOsoite1->setCell(1, 1, u"Satamakatu 3"_s);
        form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"2"_s, u"h"_s, u"50,00"_s, u"25,5"_s, u"125,50"_s});
    }
    void fillRows()
    {
        for (int r = 1; r <= 3; ++r)
            form().LaskuRivit1->setCell(1, r, u"Rivi "_s + QString::number(r));
        QApplication::clipboard()->clear();
        clickCell(form().LaskuRivit1, 1, 2);
    }

private:
    QTemporaryDir m_data;
    std::unique_ptr<FormFixture> m_fixture;
};

using Step = std::function<void(Program &)>;

const Step nothing = [](Program &) {};

Step menu(const QStringList &captions)
{
    return [captions](Program &p) { chooseFromMenuBar(p.form(), captions); };
}

// Presses a key with modifiers where the focus is, as a person does.
Step keys(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    return [key, modifiers](Program &p) {
        QWidget *target = QApplication::focusWidget();
        QTest::keyClick(target ? target : &p.form(), key, modifiers);
    };
}

// Opens a menu of the menu bar by its underlined letter (Alt and the
// letter), then chooses an item by its own letter.
Step letters(Qt::Key menuLetter, Qt::Key itemLetter)
{
    return [menuLetter, itemLetter](Program &p) {
        QTest::keyClick(&p.form(), menuLetter, Qt::AltModifier);
        QMenu *open = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(open);
        QTest::keyClick(open, itemLetter);
    };
}

Step popup(const QString &caption)
{
    return [caption](Program &p) { chooseFromGridPopup(p.form().FontPopup1, p.form().LaskuRivit1, 1, 2, caption); };
}

template <typename Widget>
Step click(Widget *TForm1::*widget, const QPoint &position = QPoint())
{
    return [widget, position](Program &p) {
        QWidget *target = p.form().*widget;
        // Nobody can click what is not on the screen.
        QVERIFY2(target->isVisible(), qPrintable(target->objectName()));
        QTest::mouseClick(target, Qt::LeftButton, {}, position.isNull() ? target->rect().center() : position);
    };
}

// Opens the biller box and types a new home town over the old one.
const Step editBillerBox = [](Program &p) {
    chooseFromMenuBar(p.form(), {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
    QTest::keyClick(p.form().Koti1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(p.form().Koti1, u"Porvoo"_s);
};

const Step openRegisterBox = [](Program &p) { chooseFromMenuBar(p.form(), {u"Muokkaa"_s, u"Asiakasrekisteri"_s}); };

Step rowsDescribed(const QString &descriptions)
{
    return [descriptions](Program &p) { QCOMPARE(Program::column(p.form().LaskuRivit1, 1, 4), descriptions); };
}

void addRow(const char *name, const Step &prepare, const Step &give, const Step &check)
{
    QTest::newRow(name) << prepare << give << check;
}

void addMarginRow(const char *name, const QStringList &captions, const QString &prompt, const QString &margins)
{
    addRow(name, [](Program &p) { p.prompter().answerInput(u"12"_s); }, menu(captions),
           [prompt, margins](Program &p) {
               QCOMPARE(p.prompter().inputPrompts, QStringList{u"Marginaalin muutos|"_s + prompt});
               QCOMPARE(p.margins(), margins);
           });
}

} // namespace

class WiringTest : public QObject
{
    Q_OBJECT

private slots:
    void commandDoesItsJob_data();
    void commandDoesItsJob();
    void everyMenuItemHasItsOwnLetter();
    void shortcutsLeaveEditingKeysAlone();
};

void WiringTest::commandDoesItsJob_data()
{
    QTest::addColumn<Step>("prepare");
    QTest::addColumn<Step>("give");
    QTest::addColumn<Step>("check");

    const Step saved = [](Program &p) {
        QCOMPARE(readBytes(p.data(u"2026/1.csv"_s)),
                 cp(u"\"1\",\"7.12.2026\",\"1009\",\"\",\"3\",\"0\",\"1\",\"14 pv netto\",\"13%\",\"7 pv\",\"21.12.2026\""_s
                    + kIssuedByDefaultBiller + u"\r\n"
                    u"\"Nieminen Oy\",\"Satamakatu 3\",\" \",\" \"\r\n"
                    u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s));
        QCOMPARE(p.form().LaskuNro1->text(), u"2"_s);
        QVERIFY(!p.form().LisaRivit1->isChecked());
    };
    const Step fillInvoice = [](Program &p) { p.fillInvoice(); };
    const Step fillRows = [](Program &p) { p.fillRows(); };
    const Step newInvoice = [](Program &p) {
        QCOMPARE(p.form().AsiakNimi1->currentText(), QString());
        QCOMPARE(p.form().LaskuRivit1->cell(1, 1), QString());
        QVERIFY(!QFileInfo::exists(p.data(u"2026"_s)));
    };
    const Step opensSaved = [](Program &p) {
        writeBytes(p.data(u"vanha.csv"_s), cp(u"\"58\",\"1.12.2026\",\"1009\",\"\",\"7\"\r\n"
                                              u"\"Oy Testi Ab\",\"Katu 1\",\" \",\" \"\r\n"
                                              u"\" \",Työ,2,h,\"50,00\",\"25,5\",\"125,50\"\r\n"_s));
        p.prompter().answerOpen(p.data(u"vanha.csv"_s));
    };
    const Step opened = [](Program &p) {
        QCOMPARE(p.form().LaskuNro1->text(), u"58"_s);
        QCOMPARE(p.form().AsiakNimi1->currentText(), u"Oy Testi Ab"_s);
        QCOMPARE(p.form().LaskuRivit1->cell(1, 1), u"Työ"_s);
        QCOMPARE(p.form().TotSum->text(), u"125,50"_s);
    };

    addRow("VALMIS/TALLENNA saves the invoice", fillInvoice, click(&TForm1::Valmis1), saved);
    addRow("the yellow panel around Lisärivit saves the invoice", fillInvoice, click(&TForm1::Panel2, QPoint(2, 2)),
           saved);
    addRow(
        "UUSI starts a new invoice",
        [](Program &p) {
            p.fillInvoice();
            p.form().LaskuPvm1->setText(u"1.1.2020"_s);
        },
        click(&TForm1::Uusi1), [](Program &p) {
            QCOMPARE(p.form().AsiakNimi1->currentText(), QString());
            QCOMPARE(p.form().LaskuRivit1->cell(1, 1), QString());
            QCOMPARE(p.form().LaskuPvm1->text(), u"7.12.2026"_s);
            QVERIFY(!QFileInfo::exists(p.data(u"2026"_s)));
        });
    addRow("Lisärivit lays the page out again", nothing, click(&TForm1::LisaRivit1), [](Program &p) {
        QCOMPARE(p.form().LaskuRivit1->rowCount(), 34);
        QCOMPARE(p.form().PankkiSiirto1->y(), 1099);
        QVERIFY(!QFileInfo::exists(p.data(u"2026"_s)));
    });
    addRow(
        "á hinta sis. alv recomputes the totals",
        [](Program &p) {
            p.form().LaskuRivit1->setRowCells(1, {QString(), u"Työ"_s, u"1"_s, QString(), u"12,55"_s, u"25,5"_s});
        },
        click(&TForm1::SisAlv1), [](Program &p) {
            QCOMPARE(p.form().LaskuRivit1->cell(6, 1), u"12,55"_s);
            QCOMPARE(p.form().SumAlv0->text(), u"10,00"_s);
            QCOMPARE(p.form().AlvSum1->text(), u"2,55"_s);
            QCOMPARE(p.form().TotSum->text(), u"12,55"_s);
        });

    addRow("biller box OK keeps the changes", editBillerBox, click(&TForm1::Ok2), [](Program &p) {
        QVERIFY(p.form().OmatTiedot1->isHidden());
        QVERIFY(p.form().LaskuPanel1->isEnabled());
        QCOMPARE(p.setting(u"Laskuttaja"_s, u"Kotipaikka"_s), u"Porvoo"_s);
        QCOMPARE(p.form().Koti2->text(), u"Porvoo"_s);
    });
    addRow("biller box Peruuta drops the changes", editBillerBox, click(&TForm1::Cancel2), [](Program &p) {
        QVERIFY(p.form().OmatTiedot1->isHidden());
        QVERIFY(p.form().LaskuPanel1->isEnabled());
        QCOMPARE(p.form().Koti1->text(), u"KAUPUNKI?"_s);
        QCOMPARE(p.form().Koti2->text(), u"KAUPUNKI?"_s);
        QCOMPARE(p.setting(u"Laskuttaja"_s, u"Kotipaikka"_s), u"<missing>"_s);
    });

    addRow(
        "register box Poista rivi takes the current customer away",
        [](Program &p) {
            openRegisterBox(p);
            clickCell(p.form().AsiakRekisteri1, 1, 2);
        },
        click(&TForm1::DelRow3), [](Program &p) {
            QCOMPARE(Program::column(p.form().AsiakRekisteri1, 0, 3), u"Aalto Anna|Virtanen Pekka|"_s);
            QCOMPARE(readBytes(p.data(u"AsiakRek.csv"_s)), kRegister);
        });
    addRow(
        "register box OK saves the register",
        [](Program &p) {
            openRegisterBox(p);
            StringGrid *grid = p.form().AsiakRekisteri1;
            typeIntoGrid(grid, 0, grid->rowCount() - 1, u"Nieminen Oy"_s);
        },
        click(&TForm1::Ok3), [](Program &p) {
            QVERIFY(p.form().AsiakBox1->isHidden());
            QCOMPARE(p.form().width(), 817);
            QCOMPARE(readBytes(p.data(u"AsiakRek.csv"_s)),
                     kRegister.first(kRegister.indexOf("\"Virtanen Matti\""))
                         + "\"Nieminen Oy\",\" \",\" \",\" \",\" \",3\r\n"
                         + kRegister.sliced(kRegister.indexOf("\"Virtanen Matti\"")));
        });
    addRow(
        "register box Peruuta reads the register again",
        [](Program &p) {
            openRegisterBox(p);
            typeIntoGrid(p.form().AsiakRekisteri1, 0, 1, u"Muutettu"_s);
        },
        click(&TForm1::Cancel3), [](Program &p) {
            QVERIFY(p.form().AsiakBox1->isHidden());
            QVERIFY(p.form().LaskuPanel1->isEnabled());
            QCOMPARE(p.form().width(), 817);
            QCOMPARE(Program::column(p.form().AsiakRekisteri1, 0, 3), u"Aalto Anna|Virtanen Matti|Virtanen Pekka"_s);
        });

    addRow("Tiedosto > Nouda lasku opens a saved invoice", opensSaved, menu({u"Tiedosto"_s, u"Nouda lasku"_s}),
           opened);
    addRow("Tiedosto > Uusi lasku starts a new invoice", fillInvoice, menu({u"Tiedosto"_s, u"Uusi lasku"_s}),
           newInvoice);
    addRow("Tiedosto > Valmis/tallenna saves the invoice", fillInvoice, menu({u"Tiedosto"_s, u"Valmis/tallenna"_s}),
           saved);
    addRow(
        "Tiedosto > Tulosta prints the invoice",
        [](Program &p) {
            p.fillInvoice();
            p.prompter().answerPrinter(p.data(u"tulostin.pdf"_s));
        },
        menu({u"Tiedosto"_s, u"Tulosta"_s}), [](Program &p) {
            QVERIFY(readBytes(p.data(u"tulostin.pdf"_s)).startsWith("%PDF"));
            QCOMPARE(p.form().Lasku1->text(), u"LASKU"_s);
        });
    addRow(
        "Tiedosto > Tulosta pdf writes the invoice as a PDF",
        [](Program &p) {
            p.fillInvoice();
            p.prompter().answerSave(p.data(u"lasku"_s));
        },
        menu({u"Tiedosto"_s, u"Tulosta pdf"_s}), [](Program &p) {
            // A name typed without extension gets ".pdf"; the page starts "LASKU".
            QVERIFY(readBytes(p.data(u"lasku.pdf"_s)).startsWith("%PDF"));
            QCOMPARE(p.prompter().saveRequests,
                     QStringList{QDir::toNativeSeparators(p.data(u"2026"_s)) + u"|1.pdf"_s});
        });
    addRow(
        "Tiedosto > Tallennuskansio… changes the save folder",
        [](Program &p) {
            QVERIFY(QDir().mkdir(p.data(u"toinen"_s)));
            p.prompter().answerFolder(p.data(u"toinen"_s));
        },
        menu({u"Tiedosto"_s, u"Tallennuskansio…"_s}), [](Program &p) {
            const QString folder = QDir::toNativeSeparators(p.data(u"toinen"_s)) + QDir::separator();
            QCOMPARE(p.form().DataDir, folder);
            QCOMPARE(p.setting(u"File"_s, u"OletDir"_s), folder);
            QCOMPARE(p.form().AsiakRekisteri1->cell(0, 1), QString());
            QCOMPARE(p.form().TallennusTila1->text(), u"Tallennuskansio: "_s + folder);
        });
    addRow("Tiedosto > Sulje closes the window", nothing, menu({u"Tiedosto"_s, u"Sulje"_s}), [](Program &p) {
        QVERIFY(!p.form().isVisible());
        QCOMPARE(p.setting(u"Laskuttaja"_s, u"ColWidth6"_s), u"87"_s);
    });

    addRow("Muokkaa > Laskuttajan tiedot shows the biller box", nothing,
           menu({u"Muokkaa"_s, u"Laskuttajan tiedot"_s}), [](Program &p) {
               QVERIFY(p.form().OmatTiedot1->isVisible());
               QCOMPARE(p.form().OmatTiedot1->pos(), QPoint(8, 8));
               QVERIFY(!p.form().LaskuPanel1->isEnabled());
               // Each caption says what its field is, not what it might be.
               for (const QLabel *caption : p.form().OmatTiedot1->findChildren<QLabel *>())
                   QVERIFY2(!caption->text().startsWith(u"Esim."_s), qPrintable(caption->text()));
               QCOMPARE(p.form().Puhelin1->accessibleName(), u"Puhelinnumero"_s);
           });
    addRow("Muokkaa > Asiakasrekisteri shows the register box", nothing, openRegisterBox, [](Program &p) {
        QVERIFY(p.form().AsiakBox1->isVisible());
        QCOMPARE(p.form().width(), 1161 + 56);
        QVERIFY(!p.form().LaskuPanel1->isEnabled());
        QCOMPARE(p.form().AsiakRekisteri1->row(), 4);
    });
    addMarginRow("Muokkaa > Tulostusmarginaalit > Vasen", {u"Muokkaa"_s, u"Tulostusmarginaalit"_s, u"Vasen 3"_s},
                 u"Vasen"_s, u"12 4 5 6 7 8"_s);
    addMarginRow("Muokkaa > Tulostusmarginaalit > Oikea", {u"Muokkaa"_s, u"Tulostusmarginaalit"_s, u"Oikea 4"_s},
                 u"Oikea"_s, u"3 12 5 6 7 8"_s);
    addMarginRow("Muokkaa > Tulostusmarginaalit > Ylä", {u"Muokkaa"_s, u"Tulostusmarginaalit"_s, u"Ylä 5"_s},
                 u"Ylä"_s, u"3 4 12 6 7 8"_s);
    addMarginRow("Muokkaa > Tulostusmarginaalit > Ala", {u"Muokkaa"_s, u"Tulostusmarginaalit"_s, u"Ala 6"_s},
                 u"Ala"_s, u"3 4 5 12 7 8"_s);
    addMarginRow("Muokkaa > Pankkisiirto > Vasen marginaali",
                 {u"Muokkaa"_s, u"Pankkisiirto"_s, u"Vasen marg. 7"_s}, u"Pankkisiirron vasen"_s,
                 u"3 4 5 6 12 8"_s);
    addMarginRow("Muokkaa > Pankkisiirto > Oikea marginaali",
                 {u"Muokkaa"_s, u"Pankkisiirto"_s, u"Oikea marg. 8"_s}, u"Pankkisiirron oikea"_s,
                 u"3 4 5 6 7 12"_s);
    addRow("Muokkaa > Fontit hiiren 2-napilla opens the font popup on the page",
           [](Program &) { QApplication::clipboard()->clear(); },
           menu({u"Muokkaa"_s, u"Fontit hiiren 2-napilla"_s}), [](Program &p) {
               QTest::mouseClick(p.form().TotSum, Qt::RightButton);
               QTRY_VERIFY(p.form().FontPopup1->isVisible());
               QCOMPARE(p.form().PopupAreaName, u"TotSum"_s);
               QCOMPARE(shownItems(p.form().FontPopup1),
                        (QStringList{u"Fontti"_s, u"Kopioi rivit"_s, u"Liitä rivit (greyed)"_s}));
           });
    addRow("Muokkaa > Sarakkeiden siirto lets column borders be dragged", nothing,
           menu({u"Muokkaa"_s, u"Sarakkeiden siirto"_s}), [](Program &p) {
               StringGrid *grid = p.form().LaskuRivit1;
               const QRect cell = grid->visualRect(grid->model()->index(1, 1));
               const QPoint border(cell.right() + 1, cell.center().y());
               QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, border);
               QTest::mouseMove(grid->viewport(), border + QPoint(30, 0));
               QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, border + QPoint(30, 0));
               QCOMPARE(grid->colWidth(1), 430);
           });
    addRow(
        "Muokkaa > Liitä is hidden", nothing, menu({u"Muokkaa"_s}), [](Program &p) {
            QCOMPARE(shownItems(p.form().Muokkaa1),
                     (QStringList{u"Laskuttajan tiedot"_s, u"Asiakasrekisteri"_s, u"Tulostusmarginaalit"_s,
                                  u"Pankkisiirto"_s, u"Fontit hiiren 2-napilla"_s, u"Sarakkeiden siirto"_s}));
        });
    addRow(
        "Ohje shows the help",
        [](Program &p) { writeBytes(p.form().HelpFileName, "<html><body><h1>Laskutus ohje</h1></body></html>"); },
        menu({u"Ohje"_s}), [](Program &) {
            QStringList shown;
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *browser = qobject_cast<QTextBrowser *>(window); browser && browser->isVisible())
                    shown.append(browser->toPlainText());
            }
            QCOMPARE(shown, QStringList{u"Laskutus ohje"_s});
        });

    addRow(
        "popup Fontti changes the rows font and stores it",
        [](Program &p) {
            QFont font(u"Arial"_s, 14);
            font.setBold(true);
            p.prompter().answerFont(QVariant::fromValue(font));
        },
        popup(u"Fontti"_s), [](Program &p) {
            QCOMPARE(p.form().LaskuRivit1->font().pointSize(), 14);
            QVERIFY(p.form().LaskuRivit1->font().bold());
            QCOMPARE(p.setting(u"LaskuRivit"_s, u"FontSize"_s), u"14"_s);
            QCOMPARE(p.setting(u"LaskuRivit"_s, u"FontStyle"_s), u"1"_s);
        });
    addRow("popup Tyhjää rivi empties the current row", fillRows, popup(u"Tyhjää rivi"_s),
           rowsDescribed(u"Rivi 1||Rivi 3|"_s));
    addRow("popup Poista rivi deletes the current row", fillRows, popup(u"Poista rivi"_s),
           rowsDescribed(u"Rivi 1|Rivi 3||"_s));
    addRow("popup Lisää rivi inserts a row", fillRows, popup(u"Lisää rivi"_s),
           rowsDescribed(u"Rivi 1||Rivi 2|Rivi 3"_s));
    addRow("popup Kopioi rivit copies the rows", fillRows, popup(u"Kopioi rivit"_s), [](Program &p) {
        QCOMPARE(QApplication::clipboard()->text(), u"\" \",\"Rivi 1\",\" \",\" \",\" \",\" \",\" \"\r\n"
                                                    u"\" \",\"Rivi 2\",\" \",\" \",\" \",\" \",\" \"\r\n"
                                                    u"\" \",\"Rivi 3\",\" \",\" \",\" \",\" \",\" \"\r\n"_s);
        QVERIFY(p.form().Paste2->isEnabled());
    });
    addRow(
        "popup Liitä rivit pastes rows",
        [](Program &p) {
            p.fillRows();
            QApplication::clipboard()->setText(u"x,Liitetty,1,kpl,\"2,00\",0\r\n"_s);
        },
        popup(u"Liitä rivit"_s), [](Program &p) {
            QCOMPARE(Program::column(p.form().LaskuRivit1, 1, 4), u"Liitetty|Rivi 2|Rivi 3|"_s);
            QCOMPARE(p.form().LaskuRivit1->cell(0, 1), u"x"_s);
            QCOMPARE(p.form().TotSum->text(), u"2,00"_s);
        });

    addRow("Ctrl+N starts a new invoice", fillInvoice, keys(Qt::Key_N, Qt::ControlModifier), newInvoice);
    addRow("Ctrl+O opens a saved invoice", opensSaved, keys(Qt::Key_O, Qt::ControlModifier), opened);
    addRow("Ctrl+S saves the invoice", fillInvoice, keys(Qt::Key_S, Qt::ControlModifier), saved);
    addRow(
        "Ctrl+S saves what is being typed in a cell",
        [](Program &p) {
            p.fillInvoice();
            p.form().LaskuRivit1->setCell(1, 1, QString());
            typeIntoGrid(p.form().LaskuRivit1, 1, 1, u"Työ"_s);
        },
        keys(Qt::Key_S, Qt::ControlModifier), saved);
    addRow(
        "Ctrl+P prints the invoice",
        [](Program &p) {
            p.fillInvoice();
            p.prompter().answerPrinter(p.data(u"tulostin.pdf"_s));
        },
        keys(Qt::Key_P, Qt::ControlModifier),
        [](Program &p) { QVERIFY(readBytes(p.data(u"tulostin.pdf"_s)).startsWith("%PDF")); });
    addRow("Ctrl+Q closes the window", nothing, keys(Qt::Key_Q, Qt::ControlModifier),
           [](Program &p) { QVERIFY(!p.form().isVisible()); });
    addRow(
        "F1 shows the help",
        [](Program &p) { writeBytes(p.form().HelpFileName, "<html><body><h1>Laskutus ohje</h1></body></html>"); },
        keys(Qt::Key_F1, Qt::NoModifier), [](Program &) {
            const QWidget *help = nullptr;
            for (QWidget *window : QApplication::topLevelWidgets())
                if (qobject_cast<QTextBrowser *>(window) && window->isVisible())
                    help = window;
            QVERIFY(help);
        });
    addRow("Alt+T, N opens a saved invoice", opensSaved, letters(Qt::Key_T, Qt::Key_N), opened);
    addRow("Alt+M, L shows the biller box", nothing, letters(Qt::Key_M, Qt::Key_L),
           [](Program &p) { QVERIFY(p.form().OmatTiedot1->isVisible()); });
    addRow(
        "Ctrl+S and Ctrl+N wait while a box lies over the page",
        [](Program &p) {
            p.fillInvoice();
            chooseFromMenuBar(p.form(), {u"Muokkaa"_s, u"Laskuttajan tiedot"_s});
        },
        [](Program &p) {
            keys(Qt::Key_S, Qt::ControlModifier)(p);
            keys(Qt::Key_N, Qt::ControlModifier)(p);
        },
        [](Program &p) {
            QVERIFY(!QFileInfo::exists(p.data(u"2026"_s)));
            QCOMPARE(p.form().LaskuRivit1->cell(1, 1), u"Työ"_s);
            p.form().Ok2->click();
            QVERIFY(p.form().Tallenna1->isEnabled());
        });
    addRow(
        "Ctrl+C and Ctrl+V copy and paste in a cell being edited",
        [](Program &p) {
            QApplication::clipboard()->clear();
            typeIntoGrid(p.form().LaskuRivit1, 1, 1, u"Kahvi"_s);
        },
        [](Program &p) {
            keys(Qt::Key_A, Qt::ControlModifier)(p);
            keys(Qt::Key_C, Qt::ControlModifier)(p);
            keys(Qt::Key_End, Qt::NoModifier)(p);
            keys(Qt::Key_V, Qt::ControlModifier)(p);
        },
        [](Program &p) {
            QCOMPARE(QApplication::clipboard()->text(), u"Kahvi"_s);
            QCOMPARE(p.form().LaskuRivit1->cell(1, 1), u"KahviKahvi"_s);
        });

    addRow(
        "Escape gives back the text of the cell being edited",
        [](Program &p) {
            p.form().LaskuRivit1->setCell(1, 1, u"Vanha"_s);
            typeIntoGrid(p.form().LaskuRivit1, 1, 1, u"Uusi"_s);
            QCOMPARE(p.form().LaskuRivit1->cell(1, 1), u"Uusi"_s);
        },
        [](Program &) { pressKey(Qt::Key_Escape); },
        [](Program &p) {
            QCOMPARE(p.form().LaskuRivit1->cell(1, 1), u"Vanha"_s);
            QCOMPARE(QApplication::focusWidget(), p.form().LaskuRivit1);
        });
}

void WiringTest::commandDoesItsJob()
{
    QFETCH(Step, prepare);
    QFETCH(Step, give);
    QFETCH(Step, check);
    Program program;
    QVERIFY(program.fixture().show());
    for (const Step &step : {prepare, give, check}) {
        step(program);
        if (QTest::currentTestFailed())
            return;
    }
}

namespace {

// The menus of the window as a person opens them: the menu bar's, their
// submenus and the page's popup, each shown so that it fills its items.
QList<QMenu *> windowMenus(TForm1 &form)
{
    QList<QMenu *> menus{form.FontPopup1};
    for (QAction *top : form.menuBar()->actions()) {
        if (QMenu *menu = top->menu()) {
            menus.append(menu);
            for (QAction *item : menu->actions())
                if (item->menu())
                    menus.append(item->menu());
        }
    }
    return menus;
}

// The underlined letter of an item, lower case; empty when it has none,
// "?" when it has more than one.
QString underlinedLetter(const QAction *action)
{
    QString letter;
    const QString text = action->text();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        ++i;
        if (text[i] != u'&')
            letter = letter.isEmpty() ? text[i].toLower() : u"?"_s;
    }
    return letter;
}

} // namespace

void WiringTest::everyMenuItemHasItsOwnLetter()
{
    Program program;
    QVERIFY(program.fixture().show());
    QList<QList<QAction *>> menus{program.form().menuBar()->actions()};
    for (QMenu *menu : windowMenus(program.form())) {
        menu->popup(program.form().geometry().center());
        QTRY_VERIFY(menu->isVisible());
        menus.append(menu->actions());
        menu->hide();
    }
    for (const QList<QAction *> &items : std::as_const(menus)) {
        QStringList letters;
        for (const QAction *item : items) {
            if (item->isSeparator())
                continue;
            const QString letter = underlinedLetter(item);
            QVERIFY2(letter.size() == 1 && letter != u"?"_s, qPrintable(item->text()));
            QVERIFY2(!letters.contains(letter), qPrintable(item->text()));
            letters.append(letter);
        }
    }
}

// The page's boxes and grids keep their editing keys: no command of the
// window takes them, and no two commands share a shortcut.
void WiringTest::shortcutsLeaveEditingKeysAlone()
{
    Program program;
    QList<QKeySequence> editing;
    for (QKeySequence::StandardKey key : {QKeySequence::Copy, QKeySequence::Paste, QKeySequence::Cut,
                                          QKeySequence::Undo, QKeySequence::Redo, QKeySequence::SelectAll,
                                          QKeySequence::Delete})
        editing.append(QKeySequence::keyBindings(key));
    QList<QKeySequence> taken;
    for (const QAction *action : program.form().findChildren<QAction *>()) {
        for (const QKeySequence &shortcut : action->shortcuts()) {
            QVERIFY2(!editing.contains(shortcut), qPrintable(shortcut.toString()));
            QVERIFY2(!taken.contains(shortcut), qPrintable(shortcut.toString()));
            taken.append(shortcut);
        }
    }
}

QTEST_MAIN(WiringTest)
#include "tst_wiring.moc"
