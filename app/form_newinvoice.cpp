// A fresh invoice: emptied, dated today, with its due date, the next invoice
// number and a reference number with its check digit; the due date following
// the date and terms the user types.

#include "app/Unit1.h"
#include "invoice/numbering.h"
#include "widgets/stringgrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void TForm1::Uusi1Click()
{
    ClearInvoice();
    ShowBiller(CollectBillerDetails());
    const QDate today = m_prompter->today();
    LaskuPvm1->setText(DateText(today));
    EraPv2->setText(DateText(DueDate(today, MaksuEhto2->text())));
    LaskuNro1->setText(WholeNumberText(m_profile.nextInvoiceNumber));
    const QString reference = AppendCheckDigit(m_profile.nextReferenceBase);
    ViiteNro1->setText(m_profile.options.rfReference ? RfReference(reference) : reference);
    SisAlv1->setChecked(m_profile.defaults.unitPricesWithVat);
}

void TForm1::connectNewInvoice()
{
    // Typed only: a date, terms or due date set by the program (an opened
    // invoice, a reminder, the biller's defaults) stay as they are shown.
    connect(LaskuPvm1, &QLineEdit::textEdited, this, &TForm1::InvoiceTermsEdited);
    connect(MaksuEhto2, &QLineEdit::textEdited, this, &TForm1::InvoiceTermsEdited);
}

void TForm1::InvoiceTermsEdited()
{
    // A due date typed by hand stands until the date or terms change again;
    // a date that does not read keeps the due date as it is.
    if (const std::optional<QString> due = RecalcDueDateText(LaskuPvm1->text(), MaksuEhto2->text()))
        EraPv2->setText(*due);
}

void TForm1::ClearInvoice()
{
    LaskuPvm1->setText(DateText(QDate()));
    LaskuNro1->setText(u"0"_s);
    EraPv2->setText(LaskuPvm1->text());
    AsiakY1->clear();
    AsiakNro1->clear();
    AsiakNimi1->setCurrentIndex(-1);
    AsiakNimi1->setEditText(QString());
    for (int r = 0; r < AsiakOsoite1->rowCount(); ++r)
        AsiakOsoite1->setCell(kBlockTextColumn, r, QString());
    OpenedInvoiceFile.clear();
    InvoiceRowTotalsWithVat.reset();
    BuyerEinvoice = {};
    ShowBuyerEinvoice();
    CreditedYear.clear();
    CreditedNumber.clear();
    ShowHeading();
    LaskuRivit1->commitEdit();
    for (int r = 1; r < LaskuRivit1->rowCount(); ++r) {
        LaskuRivit1->setRowCells(r, QStringList());
        LaskuRivit1->setCellTag(UnitColumn, r, 0);
    }
    for (QLineEdit *field : {SumAlv0, AlvSum1, ViiteNro1, TotSum})
        field->clear();
    ViiteNro2->clear();
    for (QLabel *payer : {AsiakNimi2, AsiakOsoite2, AsiakOsoite3, AsiakOsoite4})
        payer->clear();
    LisaRivit1->setChecked(false);
}
