#pragma once

#include "model/backupdiff.h"
#include "model/recordmerge.h"

#include <QDialog>
#include <QList>
#include <QString>
#include <memory>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// A table of differences, record by record: filtered by set and by kind, the selected row's
// details below it, copied or saved as text; from the selected rows, their history in the
// backups' folder and taking those records back into the station.
class DifferencesView : public QDialog
{
    Q_OBJECT
public:
    struct Sides
    {
        std::shared_ptr<const DataImage> first, second; // as the lines compare them
        QString onlyFirst, onlySecond; // the change column's text for a record only one holds
    };
    DifferencesView(const QString &title, const QList<BackupDiff::Line> &lines, Sides sides,
                    QWidget *parent);

    // "Diese Datensätze zurückholen" takes the selected records from the backup at `path`;
    // by default (empty) from the window's document.
    void takeBackFrom(const QString &path);
    // A set by the name the tab shows, a companion by its own.
    static QString setName(const QString &key);

signals:
    void saveRequested(const QString &text);
    void historyRequested(const QString &set, int number);
    void takeBackRequested(const QString &path, const QList<RecordMerge::Record> &records);

private:
    void filter();
    void selectionChanged();
    QList<int> selectedLines() const;

    QList<BackupDiff::Line> lines;
    Sides sides;
    QString takeBackPath;
    QTableWidget *table;
    QComboBox *setFilter, *kindFilter;
    QPlainTextEdit *details;
    QPushButton *history, *takeBack;
};
