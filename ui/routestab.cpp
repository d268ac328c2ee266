// The routes tab: the list of routes coloured by status, the shown route, the route loader and
// the printout.

#include "ui/routestab.h"

#include "backupfile/document.h"
#include "link/logging.h"
#include "model/routerecord.h"
#include "routes/comm_fahrstrassenloader.h"
#include "routes/routebook.h"
#include "routes/routeexport.h"
#include "ui/jobhost.h"
#include "ui/translatedtext.h"
#include "ui_routestab.h"

#include <QBrush>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTreeView>
#include <QUrl>

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

RoutesTab::RoutesTab(JobHost &host, Document &document, QWidget *parent)
    : QWidget(parent), host(host), ui(std::make_unique<Ui::RoutesTab>()), document(document)
{
    ui->setupUi(this);
    setTranslatedText(ui->label_Fahrstrasse_modus,
                      QT_TRANSLATE_NOOP("MainWindow", "(noch nicht geladen!)"));
    // The station's routes come with the backup; this tab has no loader of its own to show.
    ui->pushButton_Fahrstrassen_refresh->setEnabled(false);
    ui->pushButton_Fahrstrassen_refresh->hide();
    ui->pushButton_Fahrstrassen_backup_load->hide();
    connect(ui->listWidget_Fahrstrassen, &QListWidget::itemSelectionChanged, this,
            [this] { showRoute(); });
    connect(ui->pushButton_Fahrstrassen_backup_load, &QPushButton::clicked, this,
            &RoutesTab::startLoader);
    connect(ui->pushButton_Fahrstrassen_history, &QPushButton::clicked, this, [this] {
        if (ui->listWidget_Fahrstrassen->currentRow() >= 0)
            emit historyRequested(ui->listWidget_Fahrstrassen->currentRow() + 1);
    });
    connect(ui->lineEdit_Fahrstrassen_filter, &QLineEdit::textChanged, this,
            &RoutesTab::applyFilter);
    connect(ui->checkBox_Fahrstrassen_belegt, &QCheckBox::toggled, this, &RoutesTab::applyFilter);
    // Nothing on this tab loads from the station by itself: an empty bar would look like a
    // field to type in.
    ui->progressBar_fahrstrassen->hide();
    ui->listWidget_Fahrstrassen->installEventFilter(this);
    // How many routes the document holds, and which of them the list cannot show.
    count = new QLabel(ui->listWidget_Fahrstrassen->parentWidget());
    count->setObjectName(QStringLiteral("label_Fahrstrassen_anzahl"));
    count->setWordWrap(true);
    count->setMaximumWidth(ui->listWidget_Fahrstrassen->maximumWidth());
    ui->verticalLayout_route_list->addWidget(count);
}

RoutesTab::~RoutesTab() = default;

void RoutesTab::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// The form leaves the shown route's values; the tab's own texts follow.
void RoutesTab::retranslate()
{
    ui->retranslateUi(this);
    retranslateText(ui->label_Fahrstrasse_modus);
    showCount();
}

void RoutesTab::showCount()
{
    const int held = document.image.presentRecords(Catalogue::Fahrstrassen);
    int beyond = 0;
    for (int n = 1001; n < 1024; ++n)
        beyond += status(n) > 0 ? 1 : 0;
    if (held == 0)
        count->clear();
    else if (beyond == 0)
        count->setText(
            QCoreApplication::translate("MainWindow", "%1 Fahrstrassen belegt").arg(held));
    else
        count->setText(QCoreApplication::translate(
                           "MainWindow", "%1 Fahrstrassen belegt, davon %2 mit Nummer über 1000 "
                                         "(nicht in der Liste, aber im Fahrstrassenbuch und im "
                                         "Export)")
                           .arg(held)
                           .arg(beyond));
}

qint8 RoutesTab::status(int n) const
{
    return document.image.recordStatus[size_t(Catalogue::StatusFahrstrassen + n)];
}

void RoutesTab::build()
{
    QTreeWidget *tree = ui->treeWidget_Fahrstrassen;
    for (int card = 0; card < tree->topLevelItemCount(); ++card)
        qDeleteAll(tree->topLevelItem(card)->takeChildren());
    ui->listWidget_Fahrstrassen->clear();
    for (int r = 0; r < 1000; ++r) {
        auto *item = new QListWidgetItem(QString::number(r + 1), ui->listWidget_Fahrstrassen);
        item->setForeground(Qt::gray);
    }
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
    // The cards' titles whole ("Rückmeldung beachten"): the tree scrolls sideways instead.
    tree->header()->setResizeContentsPrecision(-1);
    tree->resizeColumnToContents(4);
    emit routesHeld(false);
}

void RoutesTab::showCommandRow(int row, int card, quint16 address, quint8 kind, quint8 state,
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

bool RoutesTab::showRoute()
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
    const qint8 status = this->status(n);
    if (status == 0)
        setTranslatedText(ui->label_Fahrstrasse_modus,
                          QT_TRANSLATE_NOOP("MainWindow", "(nicht geladen!)"));
    else if (status == -1)
        setTranslatedText(ui->label_Fahrstrasse_modus,
                          QT_TRANSLATE_NOOP("MainWindow", "Datensatz ist leer!"));
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
    document.image.copyRoute(n, record);
    const DecodedRoute route = RouteRecord::decode(record, cardCount3, cardCount5, cardCount7);
    ui->label_Fahrstrasse_nr->setText(QString::number(n));
    ui->lineEdit_Fahrstrasse_TXT->setText(route.comment);
    const QString keyTexts[6] = {route.startPlan,      route.startRow,
                                 route.startColumn,    route.destinationPlan,
                                 route.destinationRow, route.destinationColumn};
    for (int k = 0; k < 6; ++k)
        keys[k]->setText(keyTexts[k]);
    setValueText(ui->label_Fahrstrasse_modus, route.mode);
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
    // The type and address columns as wide as their longest text ("Rückmeldung beachten").
    for (int column = 2; column <= 4; ++column)
        tree->resizeColumnToContents(column);
    return true;
}

void RoutesTab::routesLoaded(short itemNr, bool success)
{
    if (!success)
        return;
    if (itemNr == 1024) {
        for (int i = 1; i <= 1000; ++i)
            label(i);
    } else if (itemNr >= 0 && itemNr < 1024) {
        document.image.recordStatus[size_t(Catalogue::StatusFahrstrassen + itemNr)] = 1;
        if (itemNr >= 1 && itemNr <= 1000)
            label(itemNr);
    } else {
        return;
    }
    bool held = false;
    for (int i = 1; i <= 1000 && !held; ++i)
        held = status(i) > 0;
    ui->label_Fahrstrassen_hinweis->setVisible(!held);
    emit routesHeld(held);
    // No route chosen yet: the header does not claim that nothing is loaded.
    if (ui->listWidget_Fahrstrassen->currentRow() < 0)
        setTranslatedText(ui->label_Fahrstrasse_modus,
                          held ? "" : QT_TRANSLATE_NOOP("MainWindow", "(noch nicht geladen!)"));
    showCount();
    applyFilter();
}

void RoutesTab::label(int n)
{
    QListWidgetItem *item = ui->listWidget_Fahrstrassen->item(n - 1);
    const qint8 status = this->status(n);
    colour(item, status);
    QString text = QString::number(n);
    if (status > 0) {
        quint8 record[RouteRecord::Size];
        document.image.copyRoute(n, record);
        const QString comment = RouteRecord::comment(record);
        if (!comment.isEmpty())
            text += QStringLiteral("  ") + comment;
    }
    item->setText(text);
}

void RoutesTab::applyFilter()
{
    const QString filter = ui->lineEdit_Fahrstrassen_filter->text().trimmed();
    const bool heldOnly = ui->checkBox_Fahrstrassen_belegt->isChecked();
    for (int n = 1; n <= 1000; ++n) {
        QListWidgetItem *item = ui->listWidget_Fahrstrassen->item(n - 1);
        const QString number = QString::number(n);
        // The number from its start ("1" finds 1, 12, 120), the comment anywhere.
        const bool matches = filter.isEmpty() || number.startsWith(filter) ||
                             item->text().mid(number.size()).contains(filter, Qt::CaseInsensitive);
        item->setHidden(!matches || (heldOnly && status(n) <= 0));
    }
    // The route shown stays in view when the filter lets it be seen.
    if (QListWidgetItem *current = ui->listWidget_Fahrstrassen->currentItem();
        current && !current->isHidden())
        ui->listWidget_Fahrstrassen->scrollToItem(current);
}

// Home and End go to the first and the last route shown: the list's own would go to rows the
// filter hides.
bool RoutesTab::eventFilter(QObject *watched, QEvent *event)
{
    QListWidget *list = ui->listWidget_Fahrstrassen;
    if (watched != list || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if ((key->key() != Qt::Key_Home && key->key() != Qt::Key_End) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const bool last = key->key() == Qt::Key_End;
    for (int i = 0; i < list->count(); ++i) {
        const int row = last ? list->count() - 1 - i : i;
        if (!list->item(row)->isHidden()) {
            list->setCurrentRow(row);
            list->scrollToItem(list->item(row));
            break;
        }
    }
    return true;
}

QList<int> RoutesTab::bookRoutes() const
{
    QList<int> numbers;
    const QList<QListWidgetItem *> selected = ui->listWidget_Fahrstrassen->selectedItems();
    if (selected.size() < 2)
        return numbers;
    for (const QListWidgetItem *item : selected)
        numbers << ui->listWidget_Fahrstrassen->row(item) + 1;
    return numbers;
}

void RoutesTab::askBook()
{
    const QList<int> only = bookRoutes();
    const QString caption =
        only.isEmpty() ? QCoreApplication::translate("MainWindow", "Fahrstrassenbuch drucken")
                       : QCoreApplication::translate(
                             "MainWindow", "Fahrstrassenbuch der %1 ausgewählten Fahrstrassen")
                             .arg(only.size());
    QString path = QFileDialog::getSaveFileName(
        window(), caption, QStringLiteral("Fahrstrassenbuch.pdf"),
        QCoreApplication::translate("MainWindow", "PDF-Dateien (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    if (writeBook(path))
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool RoutesTab::writeBook(const QString &path)
{
    const QList<HeldRoute> routes = RouteExport::held(document.image, bookRoutes());
    const RouteBook::Title title{document.sourceSerial, document.sourceSoftware, document.fileName,
                                 QDateTime::currentDateTime()};
    QString error;
    if (routes.isEmpty() || !RouteBook::write(path, routes, title, &error)) {
        emit message(QCoreApplication::translate(
                         "MainWindow",
                         "<BR><span style=\"font-weight:bold;color:#990000;\">%1 kann nicht "
                         "geschrieben werden!</span> %2<BR>")
                         .arg(path.toHtmlEscaped(), error.toHtmlEscaped()));
        return false;
    }
    emit message(QCoreApplication::translate("MainWindow",
                                             "<BR>Fahrstrassenbuch mit %1 Fahrstrassen: %2<BR>")
                     .arg(routes.size())
                     .arg(path.toHtmlEscaped()));
    return true;
}

void RoutesTab::askExport()
{
    QString path = QFileDialog::getSaveFileName(
        window(), QCoreApplication::translate("MainWindow", "Fahrstrassen exportieren"),
        QStringLiteral("Fahrstrassen.csv"),
        QCoreApplication::translate("MainWindow", "CSV-Dateien (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    exportCsv(path);
}

bool RoutesTab::exportCsv(const QString &path)
{
    const QList<HeldRoute> routes = RouteExport::held(document.image, bookRoutes());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(RouteExport::csv(routes)) < 0 ||
        !file.commit()) {
        emit message(QCoreApplication::translate(
                         "MainWindow",
                         "<BR><span style=\"font-weight:bold;color:#990000;\">%1 kann nicht "
                         "geschrieben werden!</span> %2<BR>")
                         .arg(path.toHtmlEscaped(), file.errorString().toHtmlEscaped()));
        return false;
    }
    emit message(QCoreApplication::translate("MainWindow", "<BR>%1 Fahrstrassen exportiert: %2<BR>")
                     .arg(routes.size())
                     .arg(path.toHtmlEscaped()));
    return true;
}

void RoutesTab::startLoader()
{
    if (host.refuseWhileBusy())
        return;
    auto *loader = new Comm_fahrstrassenloader;
    connect(loader, &Comm_fahrstrassenloader::signal_comm_fahrstrassen_loaded, this,
            &RoutesTab::routesLoaded, Qt::QueuedConnection);
    host.connectStatus(loader);
    loader->setDocument(&document.image);
    loader->itemNr = -1;
    host.trackJob(loader);
    loader->start();
}

void RoutesTab::print()
{
    QTreeWidget *tree = ui->treeWidget_Fahrstrassen;
    const int rows = tree->topLevelItemCount() + 2 + cardCount3 + 20 + cardCount5 + 2 + cardCount7;
    const int columns = tree->model()->columnCount();
    double height = tree->header()->height() + 3;
    const QModelIndex firstRow = tree->model()->index(0, 0);
    for (int i = 0; i < rows; ++i)
        height += tree->sizeHintForIndex(firstRow).height();

    QTreeView view;
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.setModel(tree->model());
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (int card = 0; card < tree->topLevelItemCount(); ++card)
        view.expand(tree->model()->index(card, 0));
    const int widths[5] = {80, 25, 160, 110, 400};
    int width = 0;
    for (int column = 0; column < columns; ++column) {
        view.setColumnWidth(column, widths[qMin(column, 4)]);
        width += view.columnWidth(column);
    }
    view.setFixedSize(width, int(height));
    const QPixmap picture = view.grab();

    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("Fahrstrasse.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter;
    const QString path = QFileInfo(QStringLiteral("Fahrstrasse.pdf")).absoluteFilePath();
    if (!painter.begin(&printer)) {
        emit message(QCoreApplication::translate(
                         "MainWindow",
                         "<BR><span style=\"font-weight:bold;color:#990000;\">%1 kann nicht "
                         "geschrieben werden!</span><BR>")
                         .arg(path.toHtmlEscaped()));
        return;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double xs = double(page.width()) / view.width();
    const double ys = double(page.height()) / (view.height() + 35);
    const double scale = qMin(xs, ys);
    painter.scale(scale, scale);
    qCDebug(lcRoutes, "x: %lf  y: %lf", xs, ys);

    // The text lines are laid out as rich text documents rather than rendered labels: a
    // rendered label reaches the PDF as a picture, a document as text that can be searched.
    auto line = [&painter](const QString &html, int pixelSize) {
        QTextDocument text;
        text.setDocumentMargin(0);
        QFont font = text.defaultFont();
        if (pixelSize > 0)
            font.setPixelSize(pixelSize);
        text.setDefaultFont(font);
        text.setHtml(html);
        painter.fillRect(QRectF(QPointF(0, 0), text.size()), Qt::white);
        text.drawContents(&painter);
        return text.size().height();
    };
    line(QStringLiteral("%1").arg(ui->label_Fahrstrasse_nr->text().toHtmlEscaped()), 30);
    painter.translate(128, 0);

    // The widgets' texts go into rich text escaped, so the page shows what the tab shows:
    // a comment such as "Gleis <2> & 3" is text, not markup.
    const double commentHeight = line(
        QCoreApplication::translate(
            "MainWindow", "&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  Kommentar: <b>\"%2\"</b>  "
                          "&nbsp;&nbsp;  Modus: <b>%3</b>")
            .arg(ui->label_Fahrstrasse_nr->text().toHtmlEscaped(),
                 ui->lineEdit_Fahrstrasse_TXT->text().toHtmlEscaped(),
                 ui->label_Fahrstrasse_modus->text().toHtmlEscaped()),
        0);
    painter.translate(0, commentHeight + 5);

    const double keysHeight = line(
        QCoreApplication::translate(
            "MainWindow", "&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; "
                          "Spalte &nbsp; %3 &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; Zieltaste: &nbsp; Plan "
                          "&nbsp; %4 &nbsp; Zeile &nbsp; %5 &nbsp; Spalte &nbsp; %6 ")
            .arg(ui->label_START_PL->text().toHtmlEscaped(),
                 ui->label_START_ZE->text().toHtmlEscaped(),
                 ui->label_START_SP->text().toHtmlEscaped(),
                 ui->label_ZIEL_PL->text().toHtmlEscaped(),
                 ui->label_ZIEL_ZE->text().toHtmlEscaped(),
                 ui->label_ZIEL_SP->text().toHtmlEscaped()),
        0);
    painter.translate(-128, keysHeight + 10);
    painter.drawPixmap(0, 0, picture);
    painter.end();

    emit message(
        QCoreApplication::translate("MainWindow", "Fahrstrasse.pdf geschrieben nach %1<BR>")
            .arg(path.toHtmlEscaped()));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        emit message(QCoreApplication::translate(
            "MainWindow", "Kein Programm zum Anzeigen von PDF-Dateien gefunden: bitte die Datei "
                          "selbst öffnen.<BR>"));
}
