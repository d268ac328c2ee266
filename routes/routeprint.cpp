// Printing the shown route to Fahrstrasse.pdf.

#include "link/logging.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QTextDocument>
#include <QTreeView>
#include <QUrl>

void MainWindow::on_actionDrucken_triggered()
{
    printRoute();
}

void MainWindow::printRoute()
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
        consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#990000;\">%1 kann nicht "
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
    const double commentHeight =
        line(tr("&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  Kommentar: <b>\"%2\"</b>  "
                "&nbsp;&nbsp;  Modus: <b>%3</b>")
                 .arg(ui->label_Fahrstrasse_nr->text().toHtmlEscaped(),
                      ui->lineEdit_Fahrstrasse_TXT->text().toHtmlEscaped(),
                      ui->label_Fahrstrasse_modus->text().toHtmlEscaped()),
             0);
    painter.translate(0, commentHeight + 5);

    const double keysHeight =
        line(tr("&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; "
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

    consoleAppend(tr("Fahrstrasse.pdf written to %1<BR>").arg(path.toHtmlEscaped()));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        consoleAppend(tr("Kein Programm zum Anzeigen von PDF-Dateien gefunden: bitte die Datei "
                         "selbst öffnen.<BR>"));
}
