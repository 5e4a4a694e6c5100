// The customer register box: the grid of every invoiced customer with its
// buttons, shown beside the page while the user edits the register.

#include "app/Unit1.h"
#include "widgets/stringgrid.h"
#include "widgets/widgetfactory.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <iterator>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRegisterWidths[] = {196, 197, 196, 169, 64, 64, 130, 110};
static_assert(std::size(kRegisterWidths) == RegisterColumnCount);

} // namespace

void TForm1::createRegisterBox()
{
    QGroupBox *box = AsiakBox1;

    auto *top = new QFrame(box);
    top->setObjectName(u"Panel3"_s);
    top->setGeometry(2, 16, box->width() - 4, 41);
    makeLabel(top, u"Label_AsiakBox1a"_s, u"Tee uusi asiakas listan loppuun"_s, 8, 4);
    makeLabel(top, u"Label_AsiakBox1b"_s, u"Ohjelma aakkostaa sen nimen mukaan."_s, 8, 20);
    DelRow3 = new QPushButton(u"Poista rivi"_s, top);
    DelRow3->setObjectName(u"DelRow3"_s);
    DelRow3->setGeometry(560, 8, 97, 25);
    Ok3 = new QPushButton(u"OK"_s, top);
    Ok3->setObjectName(u"Ok3"_s);
    Ok3->setGeometry(680, 8, 75, 25);
    Cancel3 = new QPushButton(u"Peruuta"_s, top);
    Cancel3->setObjectName(u"Cancel3"_s);
    Cancel3->setGeometry(776, 8, 75, 25);

    AsiakRekisteri1 = new StringGrid(RegisterColumnCount, 2, box);
    AsiakRekisteri1->setObjectName(u"AsiakRekisteri1"_s);
    AsiakRekisteri1->setAccessibleName(u"Asiakasrekisteri"_s);
    AsiakRekisteri1->setFixed(0, 1);
    AsiakRekisteri1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AsiakRekisteri1->setDefaultRowHeight(20);
    for (int c = 0; c < RegisterColumnCount; ++c)
        AsiakRekisteri1->setColWidth(c, kRegisterWidths[c]);
    AsiakRekisteri1->setGeometry(2, 58, box->width() - 4, box->height() - 60);
}
