#pragma once

#include <QWidget>
#include <QtGlobal>
#include <memory>

namespace Ui {
class RoutesTab;
}
class Document;
class JobHost;

// The routes tab: routes 1 to 1000 coloured by the document's route status, the shown route as
// header and card tree, the route loader, and the printout of the shown route.
class RoutesTab : public QWidget
{
    Q_OBJECT
public:
    RoutesTab(JobHost &host, Document &document, QWidget *parent = nullptr);
    ~RoutesTab() override;

    void build();
    bool showRoute();
    void showCommandRow(int row, int card, quint16 address, quint8 kind, quint8 state,
                        quint16 extra);
    // itemNr 1024: every route's status from the document; else one route the loader read.
    void routesLoaded(short itemNr, bool success);
    void startLoader();
    void print(); // Fahrstrasse.pdf in the working directory, then the desktop's viewer
    // The route book of the selected routes when more than one is selected, else of all held.
    bool writeBook(const QString &path);
    bool exportCsv(const QString &path);
    QList<int> bookRoutes() const; // empty: every held route
    void showCount();              // held routes, and those the list leaves out
    // The form's texts in the language now installed, and the tab's own over them.
    void retranslate();
    void askBook();
    void askExport();

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void message(const QString &html); // a console fragment
    void routesHeld(bool held);        // the book and the export have something to write
    void historyRequested(int route);  // "Verlauf" of the shown route

protected:
    void changeEvent(QEvent *event) override;

private:
    qint8 status(int n) const;
    void label(int n); // "12  Einfahrt Gleis 1" and the colour of its status
    void applyFilter();

    JobHost &host;
    std::unique_ptr<Ui::RoutesTab> ui;
    Document &document;
    class QLabel *count = nullptr;
    quint8 cardCount3 = 12;
    quint8 cardCount5 = 20;
    quint8 cardCount7 = 12;
};
