// "Verkkolasku…": the invoice on screen as a Finvoice or Peppol e-invoice,
// checked for what the receiver needs before anything is written.

#include "app/Unit1.h"
#include "output/einvoice.h"

#include <QAction>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

// Where the customer's e-invoice address shows, in the upper panel's pixels:
// right of "Asiakas/Maksaja", above the name, within the customer's frame.
constexpr QRect kEinvoiceMarkPlace(130, 110, 298, 15);

// The save dialog's filters, in EinvoiceFormat order.
const QStringList kFilters = {u"Finvoice 3.0 (*.xml)"_s, u"Finvoice lähetyskehyksellä (*.xml)"_s,
                              u"Peppol BIS Billing 3.0 (*.xml)"_s};

} // namespace

void TForm1::connectEinvoice()
{
    connectCommand(Verkkolasku1, &QAction::triggered, &TForm1::Verkkolasku1Click);
}

void TForm1::createEinvoiceMark()
{
    // On the page, over the customer block's top right, but no child of a
    // printed panel: it never reaches paper.
    Verkkolaskuosoite2 = new QLabel(Page);
    Verkkolaskuosoite2->setObjectName(u"Verkkolaskuosoite2"_s);
    Verkkolaskuosoite2->setGeometry(QRect(LaskuPanel1->pos() + kEinvoiceMarkPlace.topLeft(), kEinvoiceMarkPlace.size()));
    Verkkolaskuosoite2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Verkkolaskuosoite2->setStyleSheet(u"color: #1f4e9a;"_s);
    Verkkolaskuosoite2->setToolTip(u"Asiakkaalla on verkkolaskuosoite: tallennus kirjoittaa laskun myös "
                                   "verkkolaskuna. Merkintä ei tulostu."_s);
    Verkkolaskuosoite2->hide();
    Verkkolaskuosoite2->raise();
}

void TForm1::ShowBuyerEinvoice()
{
    const QString text = BuyerEinvoiceMarkText(BuyerEinvoice);
    Verkkolaskuosoite2->setText(text);
    Verkkolaskuosoite2->setVisible(!text.isEmpty());
}

void TForm1::Verkkolasku1Click()
{
    // Suggested as the invoice file's name with ".xml", the biller's format first.
    const QString suggested = DataDir.isEmpty() ? QString() : InvoiceFileBase() + kEinvoiceFileSuffix.toString();
    const QFileInfo suggestion(suggested);
    QStringList filters = kFilters;
    const int chosenByBiller = int(ChosenEinvoiceFormat());
    filters.move(chosenByBiller, 0);
    qsizetype chosen = 0;
    QString name = m_prompter->saveFileName(this, suggested.isEmpty() ? QString() : suggestion.path(),
                                            suggestion.fileName(), filters, &chosen);
    if (name.isEmpty())
        return;
    if (QFileInfo(name).suffix().isEmpty())
        name += kEinvoiceFileSuffix;
    ExportEinvoice(name, EinvoiceFormat(kFilters.indexOf(filters.value(chosen))));
    TallennusTila1->setText(EinvoiceSavedText(name));
}

void TForm1::ExportEinvoice(const QString &name, EinvoiceFormat format)
{
    PreparePageForOutput();
    WriteEinvoiceFile(name, CollectRecord(), format, QDateTime::currentDateTime());
}
