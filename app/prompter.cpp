// The real dialogs behind the program's questions; the only code that opens
// Qt's modal dialogs.

#include "prompter.h"

#include "app/startup.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// Leaves the files a rule hides out of a file dialog's lists.
class HiddenFilesFilter : public QSortFilterProxyModel
{
public:
    HiddenFilesFilter(const HiddenFiles &hidden, QObject *parent)
        : QSortFilterProxyModel(parent)
        , m_hidden(hidden)
    {
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex &parent) const override
    {
        const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
        const QModelIndex index = sourceModel()->index(row, 0, parent);
        return !files || files->isDir(index) || !m_hidden(files->filePath(index));
    }

private:
    HiddenFiles m_hidden;
};

// Room a title bar takes besides its text: the window's icon and buttons.
constexpr int kTitleBarControls = 160;

// A window manager cuts a title wider than its window ("Merkits…ksetuksi"):
// every dialog is made wide enough for its title, set in bold as title bars
// often set it. The width is held by the dialog's layout, which otherwise
// sets the dialog's minimum size from its contents; a dialog that makes its
// layout only when it is first sized (QInputDialog) is sized here.
void giveRoomForTitle(QDialog &dialog)
{
    QFont titleFont = dialog.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(dialog.windowTitle()) + kTitleBarControls;
    dialog.adjustSize();
    if (QLayout *layout = dialog.layout())
        layout->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed));
    else
        dialog.setMinimumWidth(width);
}

} // namespace

void DialogPrompter::message(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, u"Laskutus"_s, text);
}

bool DialogPrompter::question(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, u"Laskutus"_s, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
}

std::optional<QString> DialogPrompter::inputText(QWidget *parent, const QString &caption,
                                                 const QString &prompt, const QString &value)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(value);
    giveRoomForTitle(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString DialogPrompter::openFileName(QWidget *parent, const QString &folder, const QString &filter,
                                     const HiddenFiles &hidden)
{
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (hidden) {
        // Name filters cannot leave a file out; Qt's own dialog can, the
        // desktop's native one cannot.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setProxyModel(new HiddenFilesFilter(hidden, &dialog));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString DialogPrompter::saveFileName(QWidget *parent, const QString &folder, const QString &name,
                                     const QStringList &filters, qsizetype *chosenFilter)
{
    QFileDialog dialog(parent, QString(), folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    if (chosenFilter)
        *chosenFilter = std::max(qsizetype(0), filters.indexOf(dialog.selectedNameFilter()));
    return dialog.selectedFiles().constFirst();
}

bool DialogPrompter::confirmTable(QWidget *parent, const QString &caption, const QString &text,
                                  const QStringList &headings, const QList<QStringList> &rows, const QString &accept)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(caption);
    auto *layout = new QVBoxLayout(&dialog);
    auto *label = new QLabel(text, &dialog);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto *table = new QTableWidget(int(rows.size()), int(headings.size()), &dialog);
    table->setHorizontalHeaderLabels(headings);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < headings.size(); ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r].value(c)));
    }
    table->resizeColumnsToContents();
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    buttons->addButton(QDialogButtonBox::Cancel)->setText(kCancelWord.toString());
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    giveRoomForTitle(dialog);
    dialog.resize(760, 480);
    return dialog.exec() == QDialog::Accepted;
}

QString DialogPrompter::existingFolder(QWidget *parent, const QString &caption, const QString &folder)
{
    return QFileDialog::getExistingDirectory(parent, caption, folder);
}

std::optional<QFont> DialogPrompter::font(QWidget *parent, const QFont &initial)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

bool DialogPrompter::choosePrinter(QWidget *parent, QPrinter &printer)
{
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

QDate DialogPrompter::today() const
{
    return QDate::currentDate();
}
