// The routes tab: the list of routes coloured by status, the shown route and the route loader.

#include "routes/comm_fahrstrassenloader.h"
#include "routes/routerecord.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QBrush>

namespace {
void colour(QListWidgetItem *item, qint8 status)
{
    if (status > 0)
        item->setForeground(Qt::black);
    else if (status == 0)
        item->setForeground(Qt::gray);
    else if (status == -1)
        item->setForeground(Qt::darkGreen);
}
} // namespace

void MainWindow::buildRoutesTab()
{
    QTreeWidget *tree = ui->treeWidget_Fahrstrassen;
    for (int card = 0; card < tree->topLevelItemCount(); ++card)
        qDeleteAll(tree->topLevelItem(card)->takeChildren());
    ui->listWidget_Fahrstrassen->clear();
    for (int r = 0; r < 1000; ++r) {
        auto *item = new QListWidgetItem(QString::number(r + 1), ui->listWidget_Fahrstrassen);
        item->setForeground(Qt::gray);
    }
    routeStatus.fill(0);
    const int counts[6] = {2, cardCount3, 20, cardCount5, 2, cardCount7};
    for (int card = 0; card < 6; ++card) {
        QTreeWidgetItem *top = tree->topLevelItem(card);
        for (int i = 0; i < counts[card]; ++i) {
            const int number = card == 3 ? i / 2 + 1 : i + 1;
            new QTreeWidgetItem(top, QStringList{QString(), QString::number(number)});
        }
        top->setExpanded(true);
        top->setBackground(4, Qt::cyan);
    }
    tree->setColumnWidth(0, 80);
    tree->setColumnWidth(1, 25);
}

void MainWindow::showCommandRow(int row, int card, quint16 address, quint8 kind, quint8 state,
                                quint16 extra)
{
    const RouteRow texts = RouteRecord::commandRow(address, kind, state, extra);
    if (texts.isEmpty())
        return;
    QTreeWidgetItem *item = ui->treeWidget_Fahrstrassen->topLevelItem(card - 2)->child(row);
    item->setText(2, texts.type);
    item->setText(3, texts.address);
    item->setText(4, texts.command);
}

bool MainWindow::showRoute()
{
    const int n = ui->listWidget_Fahrstrassen->currentRow() + 1;
    if (n <= 0)
        return false;
    QTreeWidget *tree = ui->treeWidget_Fahrstrassen;
    for (int card = 0; card < tree->topLevelItemCount(); ++card) {
        QTreeWidgetItem *top = tree->topLevelItem(card);
        for (int i = 0; i < top->childCount(); ++i) {
            for (int column = 2; column <= 4; ++column) {
                top->child(i)->setForeground(column, Qt::black);
                top->child(i)->setText(column, QString());
            }
        }
    }
    const qint8 status = routeStatus[size_t(n)];
    if (status == 0)
        ui->label_Fahrstrasse_modus->setText(tr("(nicht geladen!)"));
    else if (status == -1)
        ui->label_Fahrstrasse_modus->setText(tr("Datensatz ist leer!"));
    QLabel *keys[6] = {ui->label_START_PL, ui->label_START_ZE, ui->label_START_SP,
                       ui->label_ZIEL_PL,  ui->label_ZIEL_ZE,  ui->label_ZIEL_SP};
    if (status <= 0) {
        ui->label_Fahrstrasse_nr->setText(QString::number(n));
        ui->lineEdit_Fahrstrasse_TXT->setText(QString());
        for (QLabel *key : keys)
            key->setText(QStringLiteral("-"));
        return false;
    }
    quint8 record[RouteRecord::Size];
    document.copyRoute(n, record);
    const DecodedRoute route = RouteRecord::decode(record, cardCount3, cardCount5, cardCount7);
    ui->label_Fahrstrasse_nr->setText(QString::number(n));
    ui->lineEdit_Fahrstrasse_TXT->setText(route.comment);
    const QString keyTexts[6] = {route.startPlan,      route.startRow,
                                 route.startColumn,    route.destinationPlan,
                                 route.destinationRow, route.destinationColumn};
    for (int k = 0; k < 6; ++k)
        keys[k]->setText(keyTexts[k]);
    ui->label_Fahrstrasse_modus->setText(route.mode);
    for (int card = 0; card < 6; ++card) {
        QTreeWidgetItem *top = tree->topLevelItem(card);
        const QList<RouteRow> &rows = route.cards[size_t(card)];
        for (int i = 0; i < rows.size() && i < top->childCount(); ++i) {
            if (rows.at(i).isEmpty())
                continue;
            top->child(i)->setText(2, rows.at(i).type);
            top->child(i)->setText(3, rows.at(i).address);
            top->child(i)->setText(4, rows.at(i).command);
        }
    }
    return true;
}

void MainWindow::on_listWidget_Fahrstrassen_itemSelectionChanged()
{
    showRoute();
}

void MainWindow::comm_fahrstrassen_loaded(short itemNr, bool success)
{
    if (!success)
        return;
    if (itemNr == 1024) {
        for (int i = 1; i <= 1000; ++i) {
            routeStatus[size_t(i)] =
                document.recordStatus[size_t(Catalogue::StatusFahrstrassen + i)];
            colour(ui->listWidget_Fahrstrassen->item(i - 1), routeStatus[size_t(i)]);
        }
        return;
    }
    if (itemNr >= 0 && itemNr < 1024) {
        routeStatus[size_t(itemNr)] = 1;
        if (itemNr >= 1 && itemNr <= 1000)
            ui->listWidget_Fahrstrassen->item(itemNr - 1)->setForeground(Qt::black);
    }
}

void MainWindow::on_pushButton_Fahrstrassen_backup_load_clicked()
{
    startRouteLoader();
}

void MainWindow::startRouteLoader()
{
    if (refuseWhileBusy())
        return;
    auto *loader = new Comm_fahrstrassenloader;
    connect(loader, &Comm_fahrstrassenloader::signal_comm_fahrstrassen_loaded, this,
            &MainWindow::comm_fahrstrassen_loaded, Qt::QueuedConnection);
    connect(loader, &Comm2Pc::signal_info_invalidMode, this, &MainWindow::comm_info_invalidMode,
            Qt::QueuedConnection);
    connect(loader, &Comm2Pc::signal_info_noGleistron, this, &MainWindow::comm_info_noGleistron,
            Qt::QueuedConnection);
    connect(loader, &Comm2Pc::signal_info_gleistronVersion, this,
            &MainWindow::comm_info_gleistronVersion, Qt::QueuedConnection);
    connect(loader, &Comm2Pc::signal_exchange_failed, this, &MainWindow::comm_exchange_failed,
            Qt::QueuedConnection);
    connect(loader, &Comm2Pc::signal_reconnected, this, &MainWindow::comm_resumed,
            Qt::QueuedConnection);
    loader->setDocument(&document);
    loader->itemNr = -1;
    trackJob(loader);
    loader->start();
}
