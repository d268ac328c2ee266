#include "ui/historyview.h"

#include "ui/differencesview.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

Q_DECLARE_METATYPE(BackupFolder::RecordHistory)

namespace {
QString translated(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

QString changeName(BackupDiff::Line::Change change)
{
    switch (change) {
    case BackupDiff::Line::Added:
        return translated("neu in dieser Sicherung");
    case BackupDiff::Line::Removed:
        return translated("nicht mehr in dieser Sicherung");
    default:
        return translated("geändert");
    }
}
} // namespace

HistoryView::HistoryView(const QString &backupsFolder, const QString &setKey, int recordNumber,
                         QWidget *parent)
    : QDialog(parent), folder(backupsFolder), set(setKey), number(recordNumber)
{
    setObjectName(QStringLiteral("dialog_history"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(translated("Verlauf: %1 %2").arg(DifferencesView::setName(set)).arg(number));
    auto *layout = new QVBoxLayout(this);
    state = new QLabel(translated("Lese die Sicherungen in %1 ...")
                           .arg(QDir::toNativeSeparators(folder)),
                       this);
    state->setObjectName(QStringLiteral("label_history_state"));
    state->setWordWrap(true);
    layout->addWidget(state);
    table = new QTableWidget(0, 4, this);
    table->setObjectName(QStringLiteral("tableWidget_history"));
    table->setHorizontalHeaderLabels({translated("Gesichert"), translated("Datei"),
                                      translated("Änderung"), translated("Kommentar")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    details = new QPlainTextEdit(this);
    details->setObjectName(QStringLiteral("textEdit_history_details"));
    details->setReadOnly(true);
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table);
    split->addWidget(details);
    layout->addWidget(split, 1);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    takeBack = buttons->addButton(translated("Diese Datensätze &zurückholen ..."),
                                  QDialogButtonBox::ActionRole);
    takeBack->setObjectName(QStringLiteral("pushButton_history_take_back"));
    takeBack->setEnabled(false);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(takeBack, &QPushButton::clicked, this, [this] {
        const int row = table->currentRow();
        if (row >= 0 && row < shown.changes.size())
            emit takeBackRequested(shown.changes.at(row).backup.path,
                                   {{Catalogue::indexOfKey(set), number}});
    });
    connect(table, &QTableWidget::itemSelectionChanged, this, &HistoryView::selectionChanged);
    layout->addWidget(buttons);
    resize(700, 480);

    // A year of daily backups takes a few seconds: the window goes on meanwhile.
    reader = QThread::create([this] {
        const BackupFolder backups(folder);
        const bool none = backups.backups().isEmpty();
        const BackupFolder::RecordHistory history = backups.recordHistory(set, number);
        QMetaObject::invokeMethod(
            this,
            [this, history, none] {
                showHistory(history);
                // Not "never changed" when there was nothing to look at.
                if (none)
                    state->setText(
                        translated("Keine Sicherungen in %1.").arg(QDir::toNativeSeparators(folder)));
            },
            Qt::QueuedConnection);
    });
    reader->start();
}

HistoryView::~HistoryView()
{
    // The reader posts to this dialog: it is waited for (it ends after the last file).
    reader->wait();
    delete reader;
}

void HistoryView::showHistory(const BackupFolder::RecordHistory &history)
{
    shown = history;
    QStringList notes{QDir::toNativeSeparators(folder)};
    if (history.changes.isEmpty())
        notes << translated("Dieser Datensatz hat sich in keiner Sicherung geändert.");
    else
        notes << translated("Sicherungen, in denen er sich geändert hat: %1, die älteste zuerst.")
                     .arg(history.changes.size());
    if (!history.damaged.isEmpty())
        notes << translated("Beschädigt, nur das Ganze daraus verglichen: %1")
                     .arg(history.damaged.join(QStringLiteral(", ")));
    if (!history.unreadable.isEmpty())
        notes << translated("Nicht lesbar, ausgelassen: %1")
                     .arg(history.unreadable.join(QStringLiteral(", ")));
    state->setText(notes.join(QLatin1Char('\n')));
    table->setRowCount(int(history.changes.size()));
    for (int row = 0; row < history.changes.size(); ++row) {
        const BackupFolder::RecordChange &change = history.changes.at(row);
        const QStringList cells{change.backup.date.toString(QStringLiteral("dd.MM.yyyy")),
                                QFileInfo(change.backup.path).fileName(),
                                changeName(change.line.change), change.line.note};
        for (int column = 0; column < 4; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    if (!history.changes.isEmpty())
        table->selectRow(int(history.changes.size()) - 1);
}

void HistoryView::selectionChanged()
{
    const int row = table->currentRow();
    const bool valid = row >= 0 && row < shown.changes.size();
    // That backup's state of the record; one it does not hold cannot be taken back.
    takeBack->setEnabled(valid && shown.changes.at(row).line.change != BackupDiff::Line::Removed &&
                         Catalogue::indexOfKey(set) >= 0 &&
                         Catalogue::indexOfKey(set) != Catalogue::System);
    details->setPlainText(valid ? shown.changes.at(row).details.join(QLatin1Char('\n'))
                                : QString());
}
