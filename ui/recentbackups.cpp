#include "ui/recentbackups.h"

#include "backupfile/backupfolder.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}
} // namespace

RecentBackups::RecentBackups(const QString &folder, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("dialog_recent_backups"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(translated("Letzte Sicherungen"));
    auto *layout = new QVBoxLayout(this);
    where = new QLabel(this);
    where->setObjectName(QStringLiteral("label_recent_folder"));
    where->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(where);
    table = new QTableWidget(0, 4, this);
    table->setObjectName(QStringLiteral("tableWidget_recent"));
    table->setHorizontalHeaderLabels({translated("Gesichert"), translated("Gleistron"),
                                      translated("Bereiche"),
                                      translated("Änderungen gegenüber der vorigen")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *open = buttons->addButton(translated("Ö&ffnen"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("pushButton_recent_open"));
    QPushButton *differences =
        buttons->addButton(translated("&Unterschiede ..."), QDialogButtonBox::ActionRole);
    differences->setObjectName(QStringLiteral("pushButton_recent_differences"));
    connect(differences, &QPushButton::clicked, this, [this] {
        const QList<QTableWidgetItem *> selected = table->selectedItems();
        if (!selected.isEmpty())
            emit differencesRequested(selected.first()->data(Qt::UserRole + 1).toString(),
                                      selected.first()->data(Qt::UserRole).toString());
    });
    connect(table, &QTableWidget::itemSelectionChanged, this, [this, differences] {
        const QList<QTableWidgetItem *> selected = table->selectedItems();
        differences->setEnabled(!selected.isEmpty() &&
                                !selected.first()->data(Qt::UserRole + 1).toString().isEmpty());
    });
    QPushButton *other =
        buttons->addButton(translated("&Ordner wählen ..."), QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(open, &QPushButton::clicked, this, &RecentBackups::openSelected);
    connect(table, &QTableWidget::cellDoubleClicked, this, &RecentBackups::openSelected);
    connect(other, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getExistingDirectory(
            this, translated("Ordner der Sicherungen"), shownFolder);
        if (!chosen.isEmpty())
            showFolder(chosen);
    });
    layout->addWidget(buttons);
    resize(760, 360);
    showFolder(folder);
}

void RecentBackups::showFolder(const QString &folder)
{
    shownFolder = folder;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QList<BackupFolder::Listed> listed = BackupFolder(folder).history();
    QGuiApplication::restoreOverrideCursor();
    where->setText(
        listed.isEmpty()
            ? translated("Keine Sicherungen in %1.").arg(QDir::toNativeSeparators(folder))
            : QDir::toNativeSeparators(folder));
    table->setRowCount(int(listed.size()));
    for (int row = 0; row < listed.size(); ++row) {
        const BackupFolder::Listed &entry = listed.at(row);
        const QString changes = !entry.readable ? translated("nicht lesbar")
                                : entry.damaged ? translated("beschädigt")
                                : entry.changes.isEmpty()
                                    ? translated("erste Sicherung dieses Gleistron")
                                    : entry.changes;
        const QStringList cells{entry.written.toString(QStringLiteral("dd.MM.yyyy HH:mm")),
                                entry.backup.serial, entry.sets, changes};
        for (int column = 0; column < 4; ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setData(Qt::UserRole, entry.backup.path);
            item->setData(Qt::UserRole + 1, entry.previous);
            // A cut text whole, and where the file is.
            item->setToolTip(cells.at(column) + QLatin1Char('\n') + entry.backup.path);
            table->setItem(row, column, item);
        }
    }
    // Measured over every row, not only the first screenful: no cut names further down.
    table->horizontalHeader()->setResizeContentsPrecision(-1);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    if (!listed.isEmpty())
        table->selectRow(0);
    // Nothing to open in an empty folder.
    findChild<QPushButton *>(QStringLiteral("pushButton_recent_open"))
        ->setEnabled(!listed.isEmpty());
}

void RecentBackups::openSelected()
{
    const QList<QTableWidgetItem *> selected = table->selectedItems();
    if (selected.isEmpty())
        return;
    emit openRequested(selected.first()->data(Qt::UserRole).toString());
    close();
}
