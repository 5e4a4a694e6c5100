// The main window: start-up in its fixed order, the A4 page layout, the menus,
// help, the boxes shown over the page, and closing.

#include "invoice/creditnote.h"
#include "app/Unit1.h"
#include "app/startup.h"
#include "storage/customerregister.h"
#include "storage/savefolder.h"
#include "widgets/stringgrid.h"
#include "widgets/widgetfactory.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

QFrame *pagePanel(QWidget *page, const QString &name, const QRect &geometry, bool paper)
{
    auto *panel = new QFrame(page);
    panel->setObjectName(name);
    panel->setGeometry(geometry);
    if (paper) {
        panel->setAutoFillBackground(true);
        QPalette pal = panel->palette();
        pal.setColor(QPalette::Window, Qt::white);
        panel->setPalette(pal);
    }
    return panel;
}

QGroupBox *dialogBox(QWidget *page, const QString &name, const QString &title, const QRect &geometry)
{
    auto *box = new QGroupBox(title, page);
    box->setObjectName(name);
    box->setGeometry(geometry);
    // The boxes are silver over the white page, as the design has them.
    box->setAutoFillBackground(true);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    box->setPalette(pal);
    box->hide();
    return box;
}

} // namespace

TForm1::TForm1(const StartupOptions &options, std::unique_ptr<Prompter> prompter, QWidget *parent)
    : QMainWindow(parent)
    , m_prompter(prompter ? std::move(prompter) : std::make_unique<DialogPrompter>())
{
    // The page's stored face names stay; faces this system lacks are drawn
    // with metric-compatible ones, so the layout keeps its widths.
    QFont::insertSubstitutions(u"MS Sans Serif"_s, {u"Liberation Sans"_s, u"Arial"_s});
    QFont::insertSubstitutions(u"Small Fonts"_s, {u"Liberation Sans"_s, u"Arial"_s});
    QFont::insertSubstitutions(u"Arial"_s, {u"Liberation Sans"_s});
    setObjectName(u"Form1"_s);
    setWindowTitle(u"Laskutus"_s);
    setFont(pageFont(u"MS Sans Serif"_s, 8));

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(u"ScrollBox"_s);
    setCentralWidget(ScrollBox);
    Page = new QWidget;
    Page->setObjectName(u"Page"_s);
    Page->resize(777, 1099);
    ScrollBox->setWidget(Page);

    // Stacking order: later panels lie over earlier ones.
    LaskuPanel2 = pagePanel(Page, u"LaskuPanel2"_s, QRect(0, 712, 777, 157), true);
    LaskuPanel1 = pagePanel(Page, u"LaskuPanel1"_s, QRect(0, 0, 777, 721), true);
    PankkiSiirto1 = pagePanel(Page, u"PankkiSiirto1"_s, QRect(0, 320, 777, 361), true);
    OmaPanel = pagePanel(Page, u"OmaPanel"_s, QRect(8, 8, 425, 97), false);
    OmatTiedot1 = dialogBox(Page, u"OmatTiedot1"_s, u"Laskuttajan tiedot"_s, QRect(832, 0, 769, 561));
    AsiakBox1 = dialogBox(Page, u"AsiakBox1"_s, u"Asiakasrekisteri"_s, QRect(792, 520, 1161, 353));

    createUpperPanel();
    createTotalsPanel();
    createHeadingBlock();
    createGiroForm();
    createBillerBox();
    createRegisterBox();
    createMenus();
    createSaveStatus();
    createEinvoiceMark();
    connectInvoiceEditing();
    connectNewInvoice();
    connectSettings();
    connectRowCommands();
    connectStorage();
    connectOutput();
    connectEinvoice();
    connectLedger();

    FormCreate(options);
}

TForm1::~TForm1()
{
    // A register still being read is of no use any more.
    m_pendingRegister.reset();
    detachHandlers();
    delete m_helpWindow;
}

void TForm1::runCommand(const std::function<void()> &command, QWidget *window)
{
    try {
        command();
    } catch (const std::exception &error) {
        // Every error of the program is a CommandError, whose what() is its
        // message; anything else still gets shown rather than lost.
        m_prompter->message(window ? window : this, QString::fromUtf8(error.what()));
    }
}

void TForm1::detachHandlers()
{
    // ~QWidget deletes the page's widgets after this class's part is gone, and
    // deleting them still moves the focus, sends focus-out and hide events and
    // emits signals: none of that may reach a handler of this window.
    disconnect(qApp, nullptr, this, nullptr);
    qDeleteAll(m_eventHooks);
    m_eventHooks.clear();
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children) {
        child->removeEventFilter(this);
        disconnect(child, nullptr, this, nullptr);
        if (auto *grid = qobject_cast<StringGrid *>(child))
            grid->clearHooks();
    }
}

void TForm1::createMenus()
{
    // Each item has its underlined letter, unique in its menu; the commonest
    // commands have the shortcuts every desktop program gives them. None is
    // an editing key of the page's boxes and grids (Ctrl+C, Ctrl+V, Ctrl+X,
    // Ctrl+Z, Ctrl+A), which keep theirs.
    Tiedosto1 = menuBar()->addMenu(u"&Tiedosto"_s);
    Uusilasku1 = Tiedosto1->addAction(u"&Uusi lasku"_s);
    Uusilasku1->setShortcut(QKeySequence::New);
    Noudalasku1 = Tiedosto1->addAction(u"&Nouda lasku"_s);
    Noudalasku1->setShortcut(QKeySequence::Open);
    Tallenna1 = Tiedosto1->addAction(u"&Valmis/tallenna"_s);
    Tallenna1->setShortcut(QKeySequence::Save);
    Print1 = Tiedosto1->addAction(u"&Tulosta"_s);
    Print1->setShortcut(QKeySequence::Print);
    Pdfexport1 = Tiedosto1->addAction(u"Tulosta &pdf"_s);
    Verkkolasku1 = Tiedosto1->addAction(u"Ver&kkolasku…"_s);
    Tallennuskansio1 = Tiedosto1->addAction(u"Tallennusk&ansio…"_s);
    Laskut1 = Tiedosto1->addAction(u"&Laskut…"_s);
    Hyvityslasku1 = Tiedosto1->addAction(u'&' + kCreditNoteCommand.toString());
    N4 = Tiedosto1->addSeparator();
    Sulje1 = Tiedosto1->addAction(u"&Sulje"_s);
    Sulje1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    Muokkaa1 = menuBar()->addMenu(u"&Muokkaa"_s);
    Laskuttajantiedot1 = Muokkaa1->addAction(u"&Laskuttajan tiedot"_s);
    Asiakasrekisteri1 = Muokkaa1->addAction(u"&Asiakasrekisteri"_s);
    Tulostusmarginaalit1 = Muokkaa1->addMenu(u"&Tulostusmarginaalit"_s);
    Vas1 = Tulostusmarginaalit1->addAction(u"Vasen"_s);
    Oik1 = Tulostusmarginaalit1->addAction(u"Oikea"_s);
    Yla1 = Tulostusmarginaalit1->addAction(u"Ylä"_s);
    Ala1 = Tulostusmarginaalit1->addAction(u"Ala"_s);
    Pankkisiirto2 = Muokkaa1->addMenu(u"&Pankkisiirto"_s);
    Vas2 = Pankkisiirto2->addAction(u"Vasen marginaali"_s);
    Oik2 = Pankkisiirto2->addAction(u"Oikea marginaali"_s);
    FontPopEnable = Muokkaa1->addAction(u"&Fontit hiiren 2-napilla"_s);
    FontPopEnable->setCheckable(true);
    ColMove1 = Muokkaa1->addAction(u"&Sarakkeiden siirto"_s);
    ColMove1->setCheckable(true);
    Paste1 = Muokkaa1->addAction(u"L&iitä"_s);
    Paste1->setVisible(false);

    Ohje1 = menuBar()->addAction(u"&Ohje"_s);
    Ohje1->setShortcut(QKeySequence(Qt::Key_F1));

    FontPopup1 = new QMenu(this);
    Font1 = FontPopup1->addAction(u"&Fontti"_s);
    Tyhjarivi1 = FontPopup1->addAction(u"&Tyhjää rivi"_s);
    Poistarivi1 = FontPopup1->addAction(u"&Poista rivi"_s);
    Lisarivi1 = FontPopup1->addAction(u"&Lisää rivi"_s);
    Copy2 = FontPopup1->addAction(u"&Kopioi rivit"_s);
    Paste2 = FontPopup1->addAction(u"L&iitä rivit"_s);
    for (QAction *rowCommand : {Tyhjarivi1, Poistarivi1, Lisarivi1})
        rowCommand->setVisible(false);
    Paste2->setEnabled(false);

    connectCommand(Uusilasku1, &QAction::triggered, &TForm1::Uusi1Click);
    connectCommand(Tallenna1, &QAction::triggered, &TForm1::Valmis1Click);
    // These two are the page's yellow panels, which take no click while a
    // box lies over the page; nor do their menu items.
    hookEvents(LaskuPanel1, [this](QEvent *event) {
        if (event->type() == QEvent::EnabledChange) {
            Uusilasku1->setEnabled(LaskuPanel1->isEnabled());
            Tallenna1->setEnabled(LaskuPanel1->isEnabled());
        }
        return false;
    });
    connectCommand(Sulje1, &QAction::triggered, &TForm1::Sulje1Click);
    connectCommand(Ohje1, &QAction::triggered, &TForm1::Ohje1Click);
    connectCommand(Laskuttajantiedot1, &QAction::triggered, &TForm1::Laskuttajantiedot1Click);
    connectCommand(Asiakasrekisteri1, &QAction::triggered, &TForm1::Asiakasrekisteri1Click);
    connectCommand(ColMove1, &QAction::triggered, &TForm1::ColMove1Click);
}

void TForm1::FormCreate(const StartupOptions &options)
{
    Startup = options;
    IniFileName = UserSettingsFileName(options.executablePath, options.arguments);

    OwnNameFont.font = YritNimi2->font();
    OwnNameFont.color = YritNimi2->textColor();
    YritNimi2->attachFont(&OwnNameFont);

    move(0, 0);
    LayoutPage();

    const QStringList rowHeadings = {u" "_s, u"Selite"_s, u"Määrä"_s, u" Yks."_s,
                                     u"á hinta"_s, u"Alv-%"_s, u"Yht. €"_s};
    for (int c = 0; c < rowHeadings.size(); ++c)
        LaskuRivit1->setCell(c, 0, rowHeadings[c]);
    const QStringList registerHeadings = {u"Asiakkaan nimi"_s, u"Osoite1"_s, u"Osoite2"_s,
                                          u"Osoite3"_s, u"Y-tunnus"_s, u"As.nro"_s,
                                          u"Verkkolaskuosoite"_s, u"Välittäjä"_s};
    for (int c = 0; c < registerHeadings.size(); ++c)
        AsiakRekisteri1->setCell(c, 0, registerHeadings[c]);

    HelpFileName = ExistingHelpFileName(options.executablePath);
    LoadSettings();
    LoadAreaFonts();
    if (const std::shared_ptr<SaveFolder> folder = Folder())
        RegisterFileName = folder->registerPath();
    if (options.customerRegister)
        StartCustomerRegister();

    Uusi1Click();
    if (!options.invoiceFile.isEmpty())
        runCommand([this, &options] { OpenInvoiceFile(options.invoiceFile); });

    // The system clipboard is left alone: text the user copied before starting
    // the program stays available to other programs and to "Liitä rivit".
}

void TForm1::Sulje1Click()
{
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // Only the grid layout is written at closing; the window always closes.
    try {
        SaveGridLayout();
    } catch (const std::exception &error) {
        m_prompter->message(this, QString::fromUtf8(error.what()));
    }
    // The help window is a window of its own; it goes with the program.
    if (m_helpWindow)
        m_helpWindow->close();
    event->accept();
}

void TForm1::Ohje1Click()
{
    if (!QFileInfo::exists(HelpFileName)) {
        m_prompter->message(this, u"Ohjetiedostoa ei löydy:\r\n"_s + HelpFileName);
        return;
    }
    if (!m_helpWindow) {
        m_helpWindow = new QTextBrowser;
        m_helpWindow->setObjectName(u"HelpWindow"_s);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose, false);
        // An open help window never keeps the program running.
        m_helpWindow->setAttribute(Qt::WA_QuitOnClose, false);
        m_helpWindow->setWindowTitle(u"Laskutus – Ohje"_s);
        m_helpWindow->setOpenExternalLinks(true);
        m_helpWindow->resize(640, 720);
    }
    m_helpWindow->setSource(QUrl::fromLocalFile(HelpFileName));
    m_helpWindow->show();
    m_helpWindow->raise();
}

void TForm1::Laskuttajantiedot1Click()
{
    OmatTiedot1->move(8, 8);
    LaskuPanel1->setEnabled(false);
    OmatTiedot1->show();
    OmatTiedot1->raise();
}

void TForm1::Asiakasrekisteri1Click()
{
    WaitForRegister();
    resize(AsiakBox1->width() + 56, height());
    AsiakBox1->setGeometry(8, 8, AsiakBox1->width(), height() - 82);
    AsiakRekisteri1->setGeometry(2, 58, AsiakBox1->width() - 4, AsiakBox1->height() - 60);
    Page->resize(std::max(Page->width(), AsiakBox1->x() + AsiakBox1->width()), Page->height());
    const int last = AsiakRekisteri1->rowCount() - 1;
    AsiakRekisteri1->setCurrentCell(NameColumn, last);
    AsiakRekisteri1->scrollTo(AsiakRekisteri1->model()->index(last, 0), QAbstractItemView::PositionAtTop);
    LaskuPanel1->setEnabled(false);
    AsiakBox1->show();
    AsiakBox1->raise();
}
