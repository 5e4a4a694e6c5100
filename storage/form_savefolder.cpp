// The save folder: asked for at the first save, changed with
// "Tallennuskansio…", and the status bar line that says where a save went.

#include "app/Unit1.h"
#include "app/startup.h"
#include "storage/customerregister.h"
#include "storage/invoicefile.h"
#include "storage/ledgerwindow.h"
#include "storage/savefolder.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace {

const QString kAskFolder = u"Anna tallennuskansio"_s;
// The register is saved before any invoice has asked for the folder; the
// dialog says why it comes.
const QString kAskFolderForRegister = u"Anna tallennuskansio: asiakasrekisteri tallennetaan sinne"_s;
// The folder offered under the user's documents while none is chosen.
const QString kSuggestedFolder = u"Laskut"_s;

QString saveFolderStatus(const QString &folder)
{
    return u"Tallennuskansio: %1"_s.arg(QDir::toNativeSeparators(folder));
}

} // namespace

void TForm1::createSaveStatus()
{
    // A widget of its own on the status bar: a passing message, such as a
    // menu item's empty hint, would wipe a plain status message.
    TallennusTila1 = new QLabel(statusBar());
    TallennusTila1->setObjectName(u"TallennusTila1"_s);
    statusBar()->addWidget(TallennusTila1, 1);
}

std::shared_ptr<SaveFolder> TForm1::Folder()
{
    if (DataDir.isEmpty()) {
        m_saveFolder.reset();
        return {};
    }
    // Older invoice files are read with the biller details as they are now.
    if (m_saveFolder && m_saveFolder->location() == SaveFolderPath(DataDir))
        m_saveFolder->setSettings(CollectBillerDetails(), CollectDefaults());
    else
        m_saveFolder = OpenSaveFolder(DataDir, CollectBillerDetails(), CollectDefaults());
    return m_saveFolder;
}

void TForm1::UseSaveFolder(const QString &folder)
{
    DataDir = folder;
    RegisterFileName = Folder()->registerPath();
    TallennusTila1->setText(saveFolderStatus(DataDir));
}

QString TForm1::ChooseSaveFolder(SaveFolderFor purpose)
{
    QString start = DataDir;
    bool madeSuggestion = false;
    if (start.isEmpty()) {
        // The dialog opens in the suggested folder, so it has to exist; it
        // is made for the dialog and stays only when it is chosen.
        start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(kSuggestedFolder);
        madeSuggestion = !QFileInfo::exists(start) && QDir().mkpath(start);
    }
    const QString chosen = SaveFolderPath(m_prompter->existingFolder(
        this, purpose == SaveFolderFor::Register ? kAskFolderForRegister : kAskFolder, QDir::toNativeSeparators(start)));
    if (madeSuggestion && chosen != SaveFolderPath(start))
        QDir().rmdir(start);
    return chosen;
}

void TForm1::AskSaveFolder(SaveFolderFor purpose)
{
    const QString chosen = ChooseSaveFolder(purpose);
    // Cancelled: the user's documents, which can be written to wherever the
    // program is installed.
    UseSaveFolder(chosen.isEmpty() ? UserFallbackSaveFolder() : chosen);
    // The folder may keep a register already (settings lost, a new
    // installation): saving must add to it, not write over it.
    JoinFolderRegister();
}

void TForm1::Tallennuskansio1Click()
{
    const QString folder = ChooseSaveFolder(SaveFolderFor::Invoices);
    if (!folder.isEmpty())
        ChangeSaveFolder(folder);
}

void TForm1::ChangeSaveFolder(const QString &folder)
{
    // Nothing is moved: invoices saved so far stay where they are, and the
    // register that goes on is the one kept in the new folder.
    UseSaveFolder(folder);
    LoadCustomerRegister();
    SaveDataDir();
    // An open "Laskut" lists the folder's invoices from now on.
    if (LedgerList && LedgerList->isVisible())
        ShowLedgerOf(*LedgerList);
}
