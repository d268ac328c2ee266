#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QTableWidget;

// "Letzte Sicherungen": the dated backups of a folder, newest first, with what each holds and
// what changed against the one before; a double click or "Öffnen" asks for that file,
// "Unterschiede" for that change record by record.
class RecentBackups : public QDialog
{
    Q_OBJECT
public:
    RecentBackups(const QString &folder, QWidget *parent);
    void showFolder(const QString &folder);
    QString folder() const { return shownFolder; }

signals:
    void openRequested(const QString &path);
    // A backup's differences from the one before it of the same station.
    void differencesRequested(const QString &previous, const QString &path);

private:
    void openSelected();

    QString shownFolder;
    QLabel *where;
    QTableWidget *table;
};
