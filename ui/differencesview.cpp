#include "ui/differencesview.h"

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString translated(const char *text, const char *comment = nullptr)
{
    return QCoreApplication::translate("MainWindow", text, comment);
}

} // namespace

QString DifferencesView::setName(const QString &key)
{
    const int set = Catalogue::indexOfKey(key);
    return set >= 0 ? translated(Catalogue::entry(set).name)
           : key == QLatin1String("loklisten") ? translated("Loklisten", "counted")
           : key == QLatin1String("s88")       ? translated("S88-Konfiguration", "counted")
                                               : key;
}

namespace {

// A record that can be taken back alone: not the system configuration or a companion.
bool single(const BackupDiff::Line &line)
{
    const int set = Catalogue::indexOfKey(line.set);
    return set >= 0 && set != Catalogue::System;
}

} // namespace

DifferencesView::DifferencesView(const QString &title, const QList<BackupDiff::Line> &shown,
                                 Sides compared, QWidget *parent)
    : QDialog(parent), lines(shown), sides(std::move(compared))
{
    setObjectName(QStringLiteral("dialog_compare"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *summary = new QLabel(lines.isEmpty()
                                   ? translated("Keine Unterschiede.")
                                   : translated("%1 Unterschiede").arg(lines.size()),
                               this);
    layout->addWidget(summary);

    auto *filters = new QHBoxLayout;
    setFilter = new QComboBox(this);
    setFilter->setObjectName(QStringLiteral("comboBox_compare_set"));
    setFilter->addItem(translated("Alle Bereiche"));
    kindFilter = new QComboBox(this);
    kindFilter->setObjectName(QStringLiteral("comboBox_compare_kind"));
    kindFilter->addItem(translated("Alle Änderungen"), -1);
    kindFilter->addItem(translated("geändert"), int(BackupDiff::Line::Changed));
    kindFilter->addItem(sides.onlyFirst, int(BackupDiff::Line::Removed));
    kindFilter->addItem(sides.onlySecond, int(BackupDiff::Line::Added));
    auto *setLabel = new QLabel(translated("&Bereich:"), this);
    setLabel->setBuddy(setFilter);
    auto *kindLabel = new QLabel(translated("Ä&nderung:"), this);
    kindLabel->setBuddy(kindFilter);
    filters->addWidget(setLabel);
    filters->addWidget(setFilter, 1);
    filters->addWidget(kindLabel);
    filters->addWidget(kindFilter, 1);
    layout->addLayout(filters);

    table = new QTableWidget(int(lines.size()), 4, this);
    table->setObjectName(QStringLiteral("tableWidget_compare"));
    const QStringList headers{translated("Datensatz"), translated("Nummer"),
                              translated("Änderung"), translated("Kommentar")};
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    QStringList text{headers.join(QLatin1Char('\t'))};
    for (int row = 0; row < lines.size(); ++row) {
        const BackupDiff::Line &line = lines.at(row);
        const QString change = line.change == BackupDiff::Line::Added     ? sides.onlySecond
                               : line.change == BackupDiff::Line::Removed ? sides.onlyFirst
                                                                          : translated("geändert");
        const QString name = setName(line.set);
        if (setFilter->findData(line.set) < 0)
            setFilter->addItem(name, line.set);
        const QStringList cells{name, QString::number(line.number), change, line.note};
        for (int column = 0; column < 4; ++column)
            table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
        text << cells.join(QLatin1Char('\t'));
    }
    // Measured over every row, not only the first screenful: no cut names further down.
    table->horizontalHeader()->setResizeContentsPrecision(-1);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);

    details = new QPlainTextEdit(this);
    details->setObjectName(QStringLiteral("textEdit_compare_details"));
    details->setReadOnly(true);
    details->setPlaceholderText(translated("Eine Zeile wählen: hier steht, was sich darin "
                                           "geändert hat."));
    auto *split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table);
    split->addWidget(details);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    layout->addWidget(split, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    history = buttons->addButton(translated("&Verlauf ..."), QDialogButtonBox::ActionRole);
    history->setObjectName(QStringLiteral("pushButton_compare_history"));
    takeBack = buttons->addButton(translated("Diese Datensätze &zurückholen ..."),
                                  QDialogButtonBox::ActionRole);
    takeBack->setObjectName(QStringLiteral("pushButton_compare_take_back"));
    QPushButton *copy = buttons->addButton(translated("&Kopieren"), QDialogButtonBox::ActionRole);
    copy->setObjectName(QStringLiteral("pushButton_compare_copy"));
    QPushButton *save =
        buttons->addButton(translated("Als Text &speichern ..."), QDialogButtonBox::ActionRole);
    save->setObjectName(QStringLiteral("pushButton_compare_save"));
    const QString all = text.join(QLatin1Char('\n')) + QLatin1Char('\n');
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(copy, &QPushButton::clicked, this,
            [all] { QGuiApplication::clipboard()->setText(all); });
    connect(save, &QPushButton::clicked, this, [this, all] { emit saveRequested(all); });
    connect(history, &QPushButton::clicked, this, [this] {
        const QList<int> chosen = selectedLines();
        if (chosen.size() == 1)
            emit historyRequested(lines.at(chosen.first()).set, lines.at(chosen.first()).number);
    });
    connect(takeBack, &QPushButton::clicked, this, [this] {
        QList<RecordMerge::Record> records;
        for (int i : selectedLines())
            records.append({Catalogue::indexOfKey(lines.at(i).set), lines.at(i).number});
        emit takeBackRequested(takeBackPath, records);
    });
    layout->addWidget(buttons);
    connect(setFilter, &QComboBox::currentIndexChanged, this, &DifferencesView::filter);
    connect(kindFilter, &QComboBox::currentIndexChanged, this, &DifferencesView::filter);
    connect(table, &QTableWidget::itemSelectionChanged, this, &DifferencesView::selectionChanged);
    selectionChanged();
    resize(640, 520);
}

void DifferencesView::takeBackFrom(const QString &path)
{
    takeBackPath = path;
}

void DifferencesView::filter()
{
    const QString set = setFilter->currentData().toString();
    const int kind = kindFilter->currentData().toInt();
    for (int row = 0; row < lines.size(); ++row) {
        const BackupDiff::Line &line = lines.at(row);
        const bool shown =
            (set.isEmpty() || line.set == set) && (kind < 0 || int(line.change) == kind);
        table->setRowHidden(row, !shown);
        // What is hidden is not chosen: a take-back never sends a record no longer in sight.
        if (!shown)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Deselect |
                                                QItemSelectionModel::Rows);
    }
}

QList<int> DifferencesView::selectedLines() const
{
    QList<int> rows;
    for (const QModelIndex &index : table->selectionModel()->selectedRows()) {
        if (!table->isRowHidden(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void DifferencesView::selectionChanged()
{
    const QList<int> chosen = selectedLines();
    history->setEnabled(chosen.size() == 1);
    bool takeable = !chosen.isEmpty();
    for (int i : chosen)
        takeable = takeable && single(lines.at(i));
    takeBack->setEnabled(takeable);
    if (chosen.size() != 1) {
        details->clear();
        return;
    }
    const BackupDiff::Line &line = lines.at(chosen.first());
    QStringList text{setName(line.set) + QLatin1Char(' ') + QString::number(line.number) +
                     (line.note.isEmpty() ? QString() : QStringLiteral(" „%1“").arg(line.note))};
    if (line.change == BackupDiff::Line::Changed && sides.first && sides.second)
        text << BackupDiff::details(*sides.first, *sides.second, line);
    else
        text << (line.change == BackupDiff::Line::Added ? sides.onlySecond : sides.onlyFirst);
    details->setPlainText(text.join(QLatin1Char('\n')));
}
