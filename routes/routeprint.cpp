// Printing the shown route to Fahrstrasse.pdf.

#include "link/logging.h"
#include "ui/mainwindow.h"
#include "ui_mainwindow.h"

#include <QDesktopServices>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
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
    if (!painter.begin(&printer))
        return;
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const double xs = double(page.width()) / view.width();
    const double ys = double(page.height()) / (view.height() + 35);
    const double scale = qMin(xs, ys);
    painter.scale(scale, scale);
    qCDebug(lcRoutes, "x: %lf  y: %lf", xs, ys);

    const QString lineStyle =
        QStringLiteral("QLabel { background-color : white; color : black; border: 0px;}");
    QLabel number;
    number.setTextFormat(Qt::RichText);
    number.setStyleSheet(QStringLiteral(
        "QLabel { background-color : white; color : black; font-size: 30px; border: 0px;}"));
    number.setText(QStringLiteral("%1").arg(ui->label_Fahrstrasse_nr->text().toHtmlEscaped()));
    number.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
    painter.translate(128, 0);

    // The widgets' texts go into rich text escaped, so the page shows what the tab shows:
    // a comment such as "Gleis <2> & 3" is text, not markup.
    QLabel comment;
    comment.setTextFormat(Qt::RichText);
    comment.setStyleSheet(lineStyle);
    comment.setText(tr("&nbsp;Fahrstrasse <b>%1</b>  &nbsp;&nbsp;  Kommentar: <b>\"%2\"</b>  "
                       "&nbsp;&nbsp;  Modus: <b>%3</b>")
                        .arg(ui->label_Fahrstrasse_nr->text().toHtmlEscaped(),
                             ui->lineEdit_Fahrstrasse_TXT->text().toHtmlEscaped(),
                             ui->label_Fahrstrasse_modus->text().toHtmlEscaped()));
    comment.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
    painter.translate(0, comment.height() + 5);

    QLabel keys;
    keys.setTextFormat(Qt::RichText);
    keys.setStyleSheet(lineStyle);
    keys.setText(tr("&nbsp;Starttaste: &nbsp; Plan &nbsp; %1 &nbsp; Zeile &nbsp; %2 &nbsp; "
                    "Spalte &nbsp; %3 &nbsp;&nbsp;&nbsp;&nbsp;&nbsp; Zieltaste: &nbsp; Plan "
                    "&nbsp; %4 &nbsp; Zeile &nbsp; %5 &nbsp; Spalte &nbsp; %6 ")
                     .arg(ui->label_START_PL->text().toHtmlEscaped(),
                          ui->label_START_ZE->text().toHtmlEscaped(),
                          ui->label_START_SP->text().toHtmlEscaped(),
                          ui->label_ZIEL_PL->text().toHtmlEscaped(),
                          ui->label_ZIEL_ZE->text().toHtmlEscaped(),
                          ui->label_ZIEL_SP->text().toHtmlEscaped()));
    keys.render(&painter, QPoint(), QRegion(), QWidget::RenderFlags());
    painter.translate(-128, keys.height() + 10);
    painter.drawPixmap(0, 0, picture);
    painter.end();

    QDesktopServices::openUrl(QUrl(QStringLiteral("Fahrstrasse.pdf")));
}
