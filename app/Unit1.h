#pragma once

#include "widgets/fontobject.h"
#include "app/commandline.h"
#include "app/prompter.h"
#include "app/profile.h"
#include "invoice/invoicerecord.h"
#include "invoice/reminder.h"
#include "output/einvoice.h"
#include "output/outputkind.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <optional>

class Bevel;
class LedgerWindow;
struct VatRateLine;
struct ReferenceRate;
struct ReferenceRateRow;
struct ReminderSettings;
class ClickPanel;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QPrinter;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QTableWidget;
class QTextBrowser;
class SaveFolder;
class StagedFiles;
class StringGrid;
class CustomerTable;
class RegisterNames;
struct PendingRegister;

// How the program was started: the executable's path names the settings and
// help files, the first argument a settings profile.
struct StartupOptions
{
    QString executablePath;
    QStringList arguments;
    /// An invoice file shown at start-up as "Nouda lasku" shows it; none when empty.
    QString invoiceFile = {};
    /// Whether the customer register is loaded: a window that only writes
    /// invoices it opened does without it.
    bool customerRegister = true;
};

// The main window: one invoice shown as the A4 page it prints as, with the
// biller details and customer register boxes hidden beside it. The invoice has
// no data of its own: its values are the texts of the page's widgets.
class TForm1 : public QMainWindow
{
    Q_OBJECT

public:
    TForm1(const StartupOptions &options, std::unique_ptr<Prompter> prompter,
           QWidget *parent = nullptr);
    ~TForm1() override;

    // --- Window, page and menus ---
    // app/unit1.cpp: start-up, menus, help, boxes, closing; app/form_pagelayout.cpp: the page
    void Laskuttajantiedot1Click();
    /// The window width with no box open beside the page.
    int PageWindowWidth() const;

private:
    // --- Commands ---
    // app/unit1.cpp
    /// Runs a command of a button, menu item or key and shows the message of
    /// any error that abandons it: no exception ever leaves a slot. The
    /// message belongs to `window` (another window's command), by default
    /// to this one.
    void runCommand(const std::function<void()> &command, QWidget *window = nullptr);
    /// Connects a button's or menu item's signal to a command run by runCommand.
    template <typename Sender, typename Signal>
    void connectCommand(Sender *sender, Signal signal, void (TForm1::*command)())
    {
        connect(sender, signal, this, [this, command] { runCommand([this, command] { (this->*command)(); }); });
    }
    // app/unit1.cpp: start-up, menus, help, boxes, closing; app/form_pagelayout.cpp: the page
    void FormCreate(const StartupOptions &options);
    /// How the window was started: a hidden window of the same profile is
    /// made from it.
    StartupOptions Startup;
    void Sulje1Click();
    void Ohje1Click();
    void Asiakasrekisteri1Click();
    void LayoutPage();

public:
    QString IniFileName;
    QString HelpFileName;
    QString RegisterFileName;
    FontObject OwnNameFont;
    FontObject RowsHeaderFont;

    QScrollArea *ScrollBox = nullptr;
    QWidget *Page = nullptr;
    QFrame *LaskuPanel1 = nullptr;
    QFrame *LaskuPanel2 = nullptr;
    QFrame *PankkiSiirto1 = nullptr;
    QFrame *OmaPanel = nullptr;
    QGroupBox *OmatTiedot1 = nullptr;
    QGroupBox *AsiakBox1 = nullptr;

    QMenu *Tiedosto1 = nullptr;
    QAction *Uusilasku1 = nullptr;
    QAction *Noudalasku1 = nullptr;
    QAction *Tallenna1 = nullptr;
    QAction *Print1 = nullptr;
    QAction *Pdfexport1 = nullptr;
    QAction *Verkkolasku1 = nullptr;
    QAction *Tallennuskansio1 = nullptr;
    QAction *Laskut1 = nullptr;
    QAction *Hyvityslasku1 = nullptr;
    QAction *N4 = nullptr;
    QAction *Sulje1 = nullptr;
    QMenu *Muokkaa1 = nullptr;
    QAction *Laskuttajantiedot1 = nullptr;
    QAction *Asiakasrekisteri1 = nullptr;
    QMenu *Tulostusmarginaalit1 = nullptr;
    QAction *Vas1 = nullptr;
    QAction *Oik1 = nullptr;
    QAction *Yla1 = nullptr;
    QAction *Ala1 = nullptr;
    QMenu *Pankkisiirto2 = nullptr;
    QAction *Vas2 = nullptr;
    QAction *Oik2 = nullptr;
    QAction *FontPopEnable = nullptr;
    QAction *ColMove1 = nullptr;
    QAction *Paste1 = nullptr;
    QAction *Ohje1 = nullptr;
    QMenu *FontPopup1 = nullptr;
    QAction *Font1 = nullptr;
    QAction *Tyhjarivi1 = nullptr;
    QAction *Poistarivi1 = nullptr;
    QAction *Lisarivi1 = nullptr;
    QAction *Copy2 = nullptr;
    QAction *Paste2 = nullptr;

    // --- The biller's heading block ---
    // app/form_pagelayout.cpp
    QLabel *Label1 = nullptr;
    StringGrid *YritNimi2 = nullptr;

    // --- Invoice header and customer ---
    // app/form_pagelayout.cpp
    QLabel *Label2 = nullptr;
    QComboBox *AsiakNimi1 = nullptr;
    StringGrid *AsiakOsoite1 = nullptr;
    QLabel *Lasku1 = nullptr;
    QLineEdit *LaskuPvm1 = nullptr;
    QLabel *LaskuPvm1Label = nullptr;
    QLineEdit *HuomAika2 = nullptr;
    QLineEdit *LaskuNro1 = nullptr;
    QLineEdit *EraPv2 = nullptr;
    QLineEdit *AsiakY1 = nullptr;
    QLineEdit *AsiakNro1 = nullptr;
    QLineEdit *ViivKorko2 = nullptr;
    QLineEdit *MaksuEhto2 = nullptr;
    /// The due date, terms, penalty interest and reference with their
    /// captions: a credit note asks for no payment and prints them blank.
    QList<QWidget *> PaymentFields;
    ClickPanel *Valmis1 = nullptr;
    ClickPanel *Uusi1 = nullptr;
    Bevel *Bevel1 = nullptr;
    Bevel *Bevel2 = nullptr;
    Bevel *Bevel3 = nullptr;

    // --- The invoice rows ---
    // app/form_rowsgrid.cpp
    StringGrid *LaskuRivit1 = nullptr;
    int CodeHeadingIndex = 0;
    bool LaskuRivit1SelectCell(int column, int row);
    bool LaskuRivit1KeyDown(int key);
    /// The heading and unit conveniences; false when the cell has none.
    bool LaskuRivit1DblClick(int column, int row);
    void ColMove1Click();
    void LisaRivit1Click();
    void LaskuNro1Change();
    void EraPv2Change();
    void TotSumChange();
    void LaskuPvm1Change();
    void ViiteNro1Change();

    // --- The invoice as a snapshot ---
    // app/form_invoicemodel.cpp
    /// The invoice on the page as texts.
    InvoiceData CollectInvoice() const;
    /// The settings' biller details, as the invoice is issued with them.
    BillerDetails CollectBillerDetails() const;
    /// The invoice on the page with its biller: the whole issued invoice.
    InvoiceRecord CollectRecord() const;
    /// What an opened invoice takes from the settings when its file does not say
    /// (the profile's defaults).
    InvoiceDefaults CollectDefaults() const;
    /// Shows a complete invoice (CompletedInvoice) on the emptied page, with
    /// the biller it is issued with (ShowBiller).
    void ShowInvoice(const InvoiceRecord &record);
    /// Shows the biller's details on the page and giro form; the invoice on
    /// the page is issued with them (PageBiller).
    void ShowBiller(const BillerDetails &biller);
    /// The biller the invoice on the page is issued with: today's for a new
    /// one, the kept one for an opened invoice.
    BillerDetails PageBiller;
    /// The "Rivi yht. sis. alv" an opened invoice was saved with; empty while
    /// the invoice follows the biller's YhtSisAlv, as a new one does.
    std::optional<bool> InvoiceRowTotalsWithVat;
    /// Whether the invoice's row totals include VAT.
    bool RowTotalsWithVat() const;
    /// The buyer's e-invoice address the invoice on the page goes to.
    EinvoiceAddress BuyerEinvoice;
    /// Of a credit note, the year and number of the invoice it credits;
    /// empty for an invoice.
    QString CreditedYear;
    QString CreditedNumber;
    bool IsCreditNoteOnPage() const;
    /// "LASKU", "HYVITYSLASKU" or "MAKSUMUISTUTUS" on Lasku1, as a copy when asked.
    void ShowHeading(bool copy = false);

    // --- Row commands ---
    // app/form_rowcommands.cpp
    void Tyhjarivi1Click();
    void Poistarivi1Click();
    void Lisarivi1Click();
    void Copy2Click();
    void Paste2Click();
    void Paste1Click();

    // --- Totals, reference and footer ---
    // app/form_totals.cpp; the widgets are made in app/form_pagelayout.cpp
    QLineEdit *SumAlv0 = nullptr;
    /// The caption of SumAlv0, whose font the VAT lines by rate take.
    QLabel *SumAlv0Label = nullptr;
    QLineEdit *AlvSum1 = nullptr;
    QLabel *AlvSum1Label = nullptr;
    QLineEdit *TotSum = nullptr;
    QLabel *TotSumLabel = nullptr;
    QLineEdit *ViiteNro1 = nullptr;
    ClickPanel *Panel2 = nullptr;
    QCheckBox *LisaRivit1 = nullptr;
    QCheckBox *SisAlv1 = nullptr;
    QLabel *VirallNimi2 = nullptr;
    QLabel *Osoite21 = nullptr;
    QLabel *Posti2 = nullptr;
    QLabel *FreeText3 = nullptr;
    QLabel *Puhelin2 = nullptr;
    QLabel *Faksi2 = nullptr;
    QLabel *Osoite22 = nullptr;
    QLabel *Pankki2 = nullptr;
    QLabel *Iban2 = nullptr;
    QLabel *Bic2 = nullptr;
    QLabel *FreeText4 = nullptr;
    QLabel *Koti2 = nullptr;
    QLabel *YTunnus2 = nullptr;
    QLabel *Vat2 = nullptr;
    void RecalcInvoice();
    void SisAlv1Click();
    /// Shows the VAT by rate under the totals when the rows use two or more
    /// rates, the footer moved down to make room; nothing for one rate.
    void ShowVatRates(const QList<VatRateLine> &rates);
    /// The VAT lines' labels, first the headings, then three per rate.
    QList<QLabel *> VatRateLabels;
    /// Where the footer's rule stands in the totals panel without VAT lines.
    static constexpr int kFooterTop = 72;
    /// The footer's widgets with their places when no VAT lines are shown.
    QList<std::pair<QWidget *, int>> FooterPlaces;
    int TotalsPanelHeight = 0;

    // --- New invoice ---
    // app/form_newinvoice.cpp
    void Uusi1Click();
    void ClearInvoice();
    /// "Laskun päiväys" or "Maksuehto" typed: the due date counted from them.
    void InvoiceTermsEdited();

    // --- The bank giro form ---
    // output/form_giroform.cpp
    QLabel *Iban3 = nullptr;
    QLabel *Bic3 = nullptr;
    QLabel *VirallNimi3 = nullptr;
    QLabel *Osoite31 = nullptr;
    QLabel *Posti3 = nullptr;
    QLabel *AsiakNimi2 = nullptr;
    QLabel *AsiakOsoite2 = nullptr;
    QLabel *AsiakOsoite3 = nullptr;
    QLabel *AsiakOsoite4 = nullptr;
    QLabel *LaskuNro2 = nullptr;
    QLabel *LaskuPvm2 = nullptr;
    QLabel *ViiteNro2 = nullptr;
    QLabel *EraPv3 = nullptr;
    QLabel *TotSum2 = nullptr;
    QLabel *Label74 = nullptr;
    QLabel *Label76 = nullptr;
    QLabel *TiliSiirtoLabel = nullptr;
    /// Where the payment terms' small print starts on the giro form; the
    /// barcode and its digits stay left of it.
    static constexpr int kGiroTermsLeft = 584;

    // --- Settings file ---
    // app/form_settings.cpp
    /// The save folder in use, as the profile keeps it (SaveDataDir).
    QString DataDir;
    bool BillerChanged = false;
    /// The settings as read at start and written since.
    const Profile &CurrentProfile() const { return m_profile; }
    /// Reads the settings file once into the profile, and shows it in the
    /// biller box, the grid layout and the page.
    void LoadSettings();
    /// Writes the profile whole in one replacement of the settings file,
    /// then keeps it; throws IniWriteError, keeping the old profile.
    void SaveProfile(const Profile &profile);
    /// Writes the save folder into the profile; throws IniWriteError.
    void SaveDataDir();
    /// Writes the column widths and row heights of the three page grids.
    void SaveGridLayout();
    /// Adds a half-year's reference rate to the reminder settings (a rate of
    /// the same half-year replaced) and shows it in the biller box; throws
    /// CommandError when the stored rates do not read, IniWriteError.
    void StoreReferenceRate(const ReferenceRateRow &row);
    /// The profile's biller details and heading on the page.
    void ApplyBillerDetails();

    // --- Drawing the invoice on paper or a PDF page ---
    // output/form_render.cpp
    /// Where the current output run draws and how the page maps onto it.
    struct RenderingState
    {
        QPainter *canvas = nullptr;
        int deviceWidth = 0;
        int deviceHeight = 0;
        OutputKind kind = OutputKind::Printer;
        int pageOffsetX = 0;
        int pageOffsetY = 0;
        int virtualWidth = 0;
        int virtualHeight = 0;
        int panelOriginX = 0;
        int panelOriginY = 0;
        /// The invoice rows drawn on this page, first to last; the last
        /// page of rows also gets the totals and the footer.
        int firstRow = 1;
        int lastRow = -1;
        bool lastRowsPage = true;
        /// The payment codes of the invoice being drawn, from the record
        /// the giro form's payment fields were filled from.
        QString bankBarcode;
        std::optional<QString> epcQrText;
    };
    RenderingState Rendering;
    /// Makes the page current before it goes out: the totals counted with
    /// the cell being typed in, the payer on the giro form, and the payment
    /// codes from the page's record.
    void PreparePageForOutput();
    /// Draws one output page: the invoice proper, the giro form with its
    /// barcode, or both. The caller sets the canvas, device size and kind.
    void RenderInvoice(bool drawPage, bool drawGiro);
    /// Draws the whole invoice: as many pages as its rows need, each begun
    /// by newPage but the first, then the giro form at the foot of the last
    /// or, with "Lisärivit", alone on a page of its own.
    void RenderInvoicePages(const std::function<void()> &newPage, bool withGiro);
    void RenderPanel(QWidget *panel, bool fill);
    int ScaleX(int x) const;
    int ScaleY(int y) const;
    void DrawLabel(const QLabel *label);
    void DrawEdit(const QLineEdit *edit);
    void DrawBevel(const Bevel *bevel);
    void DrawGrid(const StringGrid *grid);
    /// Prints the bank barcode's digits above its bars, for copying.
    void DrawVirtualBarcode(const QString &content);
    /// Draws the text turned 90° counter-clockwise, running upward from (x, y).
    void DrawRotatedText(int x, int y, const QString &text);
    /// "Tulosta pdf" (output/form_pdfexport.cpp).
    void Pdfexport1Click();
    /// Asks for the PDF's name and writes it; the name written, empty when cancelled.
    QString AskAndExportPdf();
    /// The PDF name suggested for the invoice on screen, by "Tulosta pdf" and
    /// to a printer that writes a file: its invoice file's with ".pdf" (the
    /// year folder made); empty while no save folder is chosen.
    QString SuggestedPdfName();
    /// Writes the invoice on screen into the PDF file, or stages the file
    /// in a batch that puts it in place later; throws CommandError.
    void ExportPdf(const QString &name, StagedFiles *staging = nullptr);
    /// The title a PDF of the page carries, as readers show it: "Lasku 57,
    /// <biller>", or "Hyvityslasku …", "Maksumuistutus …" (the invoice's number).
    QString PageDocumentTitle() const;
    /// "Tulosta" (output/form_print.cpp): the invoice, then its copies.
    void Print1Click();
    /// Print1Click's work: the files a printer that writes files wrote.
    QStringList PrintInvoice();
    /// One print job of the invoice with its giro form, or of the copies;
    /// false when the print system refused it.
    bool PrintJob(QPrinter &printer, int copies, bool original);
    // --- Payment reminders ---
    // output/form_reminder.cpp
    /// The reminder of a saved invoice file in a year folder of a save
    /// folder on the date, with that save folder's payments and reminders
    /// (MakeReminder); `business` as ReminderRequest takes it. Throws
    /// CommandError, in Finnish, when there can be none.
    Reminder ReminderOfInvoiceFile(const QString &path, const QDate &date, std::optional<bool> business) const;
    /// Writes the reminder of the invoice file as ShowReminder shows it into
    /// the PDF, then saves the reminder beside the invoice and puts the PDF
    /// in place. Throws CommandError, saving no reminder and writing no PDF,
    /// when drawing fails or a reminder of that number is saved already.
    void WriteReminder(const QString &invoicePath, const Reminder &reminder, const QString &pdfPath);

private:
    /// Shows the reminder on the page of its invoice, opened from its file:
    /// the heading, the reminder's date, term and due date, its lines in the
    /// rows, its total without VAT and its payment codes. The window shows
    /// reminders from then on: it is one made for them and never shown.
    void ShowReminder(const Reminder &reminder);
    /// The reminder shown; none on an invoice.
    std::optional<Reminder> ReminderOnPage;
    /// WriteReminder in a window of this profile made for it and never
    /// shown, leaving the invoice on this page as it is.
    void ExportReminder(const QString &invoicePath, const Reminder &reminder, const QString &pdfPath);

public:
    /// "Verkkolasku…" (output/form_einvoice.cpp): the invoice on screen as
    /// an e-invoice file, the format chosen by the save dialog's filter.
    void Verkkolasku1Click();
    /// Writes the invoice on screen as an e-invoice in the format, whole or
    /// not at all; throws CommandError naming what the format lacks, or
    /// that the file could not be written.
    void ExportEinvoice(const QString &name, EinvoiceFormat format);
    /// Beside the customer block, on the page but never printed: the
    /// customer's e-invoice address, shown while the invoice has one.
    QLabel *Verkkolaskuosoite2 = nullptr;
    /// Shows BuyerEinvoice on Verkkolaskuosoite2; run wherever the customer changes.
    void ShowBuyerEinvoice();

    // --- Print margins ---
    // output/form_margins.cpp
    void Tulostusmarginaalit1Click();
    void Pankkisiirto2Click();
    void Vas1Click(int tag);
    void EditMargin(const QString &prompt, int Margins::*margin);

    // --- Font areas ---
    // app/form_fontareas.cpp
    QString PopupAreaName;
    const FontArea *PopupAreaFont = nullptr;
    void LoadAreaFonts();
    void ApplyStoredFont(const StoredFont &stored, FontObject &font);
    void PropagateAreaFonts();
    /// Opens the popup menu for a right-click at `position` on `widget`.
    void ShowAreaPopup(QWidget *widget, const FontArea &area, const QPoint &position);
    void Font1Click();
    /// The font area named by its settings section.
    const FontArea *fontArea(const QString &section) const;

    // --- Biller details box ---
    // app/form_billerbox.cpp
    QGroupBox *OmatBox1 = nullptr;
    QLineEdit *YritNimi1 = nullptr;
    QLineEdit *YritOts11 = nullptr;
    QLineEdit *YritOts12 = nullptr;
    QSpinBox *UpDown1 = nullptr;
    QSpinBox *UpDown2 = nullptr;
    QLineEdit *VirallNimi1 = nullptr;
    QLineEdit *Osoite11 = nullptr;
    QLineEdit *Osoite12 = nullptr;
    QLineEdit *Puhelin1 = nullptr;
    QLineEdit *Faksi1 = nullptr;
    QLineEdit *Posti1 = nullptr;
    QLineEdit *NextNr1 = nullptr;
    QLineEdit *NextViite1 = nullptr;
    QLineEdit *Koti1 = nullptr;
    QLineEdit *YTunnus1 = nullptr;
    QLineEdit *AlvTunnus1 = nullptr;
    QLineEdit *Alv1 = nullptr;
    QCheckBox *SisAlv2 = nullptr;
    QCheckBox *YhtSisAlv = nullptr;
    QLineEdit *Pankki1 = nullptr;
    QLineEdit *Iban1 = nullptr;
    QLineEdit *Bic1 = nullptr;
    QLineEdit *MaksuEhto1 = nullptr;
    QLineEdit *ViivKorko1 = nullptr;
    QLineEdit *HuomAika1 = nullptr;
    QLineEdit *FreeText1 = nullptr;
    QLineEdit *FreeText2 = nullptr;
    QLineEdit *CopyKpl1 = nullptr;
    QCheckBox *ViivakoodiVal1 = nullptr;
    QCheckBox *PdfOletus1 = nullptr;
    /// New invoices get the international RF form of the reference.
    QCheckBox *RfViite1 = nullptr;
    /// The giro form carries the payment QR code.
    QCheckBox *QrKoodi1 = nullptr;
    /// The biller's own e-invoice address and its operator's id.
    QLineEdit *Verkkolaskuosoite1 = nullptr;
    QLineEdit *Valittaja1 = nullptr;
    /// The format e-invoices are written in, in EinvoiceFormat order.
    QComboBox *Verkkolaskumuoto1 = nullptr;
    /// The e-invoice format of the settings.
    EinvoiceFormat ChosenEinvoiceFormat() const;
    /// The payment reminders' fee, term, a business customer's fixed
    /// compensation and the reference rates, one table row a half-year.
    QGroupBox *Muistutukset1 = nullptr;
    QLineEdit *Muistutusmaksu1 = nullptr;
    QLineEdit *Muistutusaika1 = nullptr;
    QCheckBox *Vakiokorvaus1 = nullptr;
    QTableWidget *Viitekorot1 = nullptr;
    QPushButton *LisaaViitekorko1 = nullptr;
    QPushButton *PoistaViitekorko1 = nullptr;
    /// The reminder settings of the profile (CheckedReminderSettings);
    /// throws CommandError, in Finnish, for one the file holds that does not read.
    ReminderSettings CollectReminderSettings() const;
    /// The box shows the profile: every widget of it as the profile holds it,
    /// a reminder setting that did not read as the file has it.
    void ShowProfile(const Profile &profile);
    /// The profile with the box's texts and states; throws CommandError, in
    /// Finnish, for a reminder fee, term or rate row that does not read.
    Profile CollectProfile() const;
    /// The rate table's rows as typed, and the table filled with rows.
    QList<ReferenceRateRow> ReferenceRateRowsShown() const;
    void ShowReferenceRateRows(const QList<ReferenceRateRow> &rows);
    void LisaaViitekorko1Click();
    void PoistaViitekorko1Click();
    QPushButton *Ok2 = nullptr;
    QPushButton *Cancel2 = nullptr;
    void SisAlv2Click();
    void Koti1Change();
    void Tausta1Change();
    void Teksti1Change();
    void Ok2Click();
    void Cancel2Click();

    // --- Customer register box ---
    // storage/form_registerbox.cpp
    QPushButton *DelRow3 = nullptr;
    QPushButton *Ok3 = nullptr;
    QPushButton *Cancel3 = nullptr;
    StringGrid *AsiakRekisteri1 = nullptr;

    // --- Invoice files ---
    // storage/form_invoicefiles.cpp
    /// The file the invoice on screen was opened from; saving replaces it
    /// without asking. Empty for a new invoice.
    QString OpenedInvoiceFile;
    void Valmis1Click();
    void Noudalasku1Click();
    /// Shows a saved invoice file as "Nouda lasku" does. Throws CommandError,
    /// leaving the invoice on screen as it was, when the file cannot be read
    /// or is no invoice (ReadInvoiceFile).
    void OpenInvoiceFile(const QString &path);
    void AdvanceCounters();

private:
    QString InvoiceYearText() const;
    /// The invoice file's path without ".csv"; makes the year folder.
    QString InvoiceFileBase();
    /// The part of the invoice, or of the register when the invoice's
    /// customer is new to it, that is too long to be saved and read back;
    /// empty when everything fits.
    QString TooLongToSave();
    /// Why the invoice's file could not be opened again ("Nouda lasku"
    /// refuses it); empty when it could or when it has no rows.
    QString UnopenableInvoiceReason();
    /// "Hyvityslasku": the credit note of the invoice opened on the page.
    void Hyvityslasku1Click();
    /// A new credit note on the page of the saved invoice file (CreditNoteOf).
    /// Throws CommandError as OpenInvoiceFile does.
    void CreditInvoiceFile(const QString &path);
    /// Appends one line per row worth writing, rows 1 to the last.
    static void GridToLines(const StringGrid *grid, QStringList &lines);
    /// Reads line i into row i + 1, growing the grid to fit, and empties the last row.
    static void LinesToGrid(StringGrid *grid, const QStringList &lines);
    /// Puts row i into grid row i + 1 the same way.
    static void RowsToGrid(StringGrid *grid, QList<QStringList> rows);

public:

    // --- The invoice ledger ---
    // storage/form_ledger.cpp
    /// "Laskut…": the window listing the saved invoices, made when first opened.
    void Laskut1Click();
    LedgerWindow *LedgerList = nullptr;

    // --- Save folder ---
    // storage/form_savefolder.cpp
    /// Where the last save put its invoice, on the status bar.
    QLabel *TallennusTila1 = nullptr;
    /// What the save folder is asked for: the invoices (the first save, a
    /// change), or the register saved before any invoice.
    enum class SaveFolderFor { Invoices, Register };
    /// Asks for the save folder at the first save; the user's documents
    /// folder when cancelled.
    void AskSaveFolder(SaveFolderFor purpose = SaveFolderFor::Invoices);

private:
    /// Asks for a save folder with the folder dialog; empty when cancelled.
    QString ChooseSaveFolder(SaveFolderFor purpose);
    /// "Tallennuskansio…": another save folder for new invoices and the register.
    void Tallennuskansio1Click();
    /// Makes the folder the save folder, keeps it in the settings, loads its
    /// register and names it on the status bar; an open "Laskut" follows.
    void ChangeSaveFolder(const QString &folder);
    void createSaveStatus();

public:
    // --- Customer register ---
    // storage/form_customers.cpp
    bool FillingCustomer = false;
    void LoadCustomerRegister();
    /// Finishes a register load still running, so no lookup sees half a
    /// register; shows its message when the file could not be read.
    void WaitForRegister();
    /// The register's customers, the new-customer row last (shown by
    /// AsiakRekisteri1 below its heading row), once loaded.
    CustomerTable &Customers();
    /// Adds the invoice's customer to the register and saves it, unless the
    /// register file could not be read: then it tells the user and leaves it.
    void RegisterInvoiceCustomer();
    void DelRow3Click();
    void Ok3Click();
    void Cancel3Click();
    void AsiakNimi1DropDown();
    void FillPayerOnGiro();

private:
    /// The beginning of a name as the user typed it and the register's name
    /// the name box completed it to; both empty while the box shows what
    /// was typed (TypedName).
    QString NameTyped;
    QString NameCompleted;
    /// A register file that exists but could not be read; it is never saved over.
    QString UnreadableRegisterFile;
    /// Whether the register file in use is the one that could not be read.
    bool IsRegisterUnreadable() const;
    /// Start-up's loading of the register: a large file is read on a worker
    /// thread while the window is shown; anything that needs the register
    /// waits for it with WaitForRegister.
    void StartCustomerRegister();
    /// Loads the register kept in a newly chosen save folder, keeping the
    /// customers entered so far that it lacks.
    void JoinFolderRegister();
    /// Writes the register file; throws FileCreateError, or CommandError
    /// when a customer is too long to be read back.
    void SaveCustomerRegister();
    /// The invoice with the buyer's e-invoice address of its customer in the
    /// register when its file keeps none (WithRegisterEinvoice).
    InvoiceData WithCustomerEinvoice(InvoiceData invoice);
    /// Re-sorts the register and returns the smallest free customer number.
    int NextCustomerNumber();
    /// Fills the customer block from a register row, the name box with the
    /// register's name as the register has it.
    void FillCustomerFromRegister(int row);
    /// Whether the save chain will add the invoice's customer to the register.
    bool IsNewInvoiceCustomer();
    /// No customer number the register gives next is longer than this text.
    QString LongestNewCustomerNumber() const;
    /// RegisterTooLongPart of the register's rows, with the invoice's
    /// customer added as a new one when withInvoiceCustomer is set.
    QString RegisterTooLongPart(bool withInvoiceCustomer);
    /// Sorts a name typed into the new-customer row into place, numbers it and
    /// moves the cursor to its first address line; its row, or -1 when none.
    int CompletePendingCustomer();
    bool AsiakRekisteri1SelectCell(int column, int row);
    bool AsiakRekisteri1KeyDown(int key);
    void CloseRegisterBox();
    bool AsiakNro1KeyPress(int key);
    void AsiakNimi1Change();
    bool AsiakNimi1KeyPress(int key);
    void AsiakOsoite1Enter();
    bool AsiakOsoite1KeyPress(int key);
    quint64 RegisterRevision = 0;
    quint64 NameItemsRevision = ~quint64(0);
    /// Owned by AsiakRekisteri1, which shows it.
    CustomerTable *m_customers = nullptr;
    /// The name box's drop-down list, read from the register.
    RegisterNames *m_registerNames = nullptr;
    std::shared_ptr<PendingRegister> m_pendingRegister;

signals:
    /// An invoice file was written by "VALMIS/TALLENNA".
    void InvoiceSaved();

protected:
    // app/unit1.cpp
    void closeEvent(QCloseEvent *event) override;
    // app/form_fontareas.cpp: right-clicks on the font areas
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Building the window, each in the file of its subject: unit1.cpp (menus),
    // form_pagelayout.cpp (page panels), output/form_giroform.cpp,
    // form_billerbox.cpp, storage/form_registerbox.cpp.
    void createMenus();
    void createUpperPanel();
    void createTotalsPanel();
    void createHeadingBlock();
    void createGiroForm();
    void createBillerBox();
    void createReminderSettings();
    void createRegisterBox();
    // Wiring the handlers, one place per subject: app/form_rowsgrid.cpp,
    // app/form_newinvoice.cpp, app/form_billerbox.cpp, storage/form_customers.cpp,
    // output/form_margins.cpp, app/form_rowcommands.cpp,
    // app/form_fontareas.cpp, output/form_pdfexport.cpp.
    void connectInvoiceEditing();
    void connectNewInvoice();
    void connectSettings();
    void connectStorage();
    void connectMargins();
    void connectRowCommands();
    void connectFontAreas();
    void connectOutput();
    void connectEinvoice();
    void createEinvoiceMark();
    void connectLedger();
    /// Hands a widget's events to a handler of the window first (storage/form_customers.cpp).
    void hookEvents(QObject *target, std::function<bool(QEvent *)> handler);
    /// Stops every handler of the window from running; see the destructor (app/unit1.cpp).
    void detachHandlers();

    /// The save folder of DataDir (storage/form_savefolder.cpp): made anew
    /// when DataDir changes, reading older invoice files with the biller
    /// details as they are now; none while no folder is chosen. Every file
    /// of the save folder is read and written through it.
    std::shared_ptr<SaveFolder> Folder();
    /// Makes the folder the save folder and names it on the status bar.
    void UseSaveFolder(const QString &folder);
    /// Reads an invoice file: one of the save folder through it.
    InvoiceRecord ReadSavedInvoice(const QString &path);
    // "Laskut" (storage/form_ledger.cpp): what it is given of this window,
    // given again whenever the save folder or the settings change.
    ReminderSettings LedgerReminderSettings() const;
    void ShowLedgerOf(LedgerWindow &window);
    /// Keeps a reference rate typed in "Laskut" in the settings and the box.
    std::unique_ptr<Prompter> m_prompter;
    QTextBrowser *m_helpWindow = nullptr;
    QList<FontArea> m_fontAreas;
    QList<QObject *> m_eventHooks;
    Profile m_profile;
    std::shared_ptr<SaveFolder> m_saveFolder;
};
