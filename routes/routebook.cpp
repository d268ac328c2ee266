#include "routebook.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSaveFile>
#include <QTextLayout>

namespace {

// A4 in points: the writer runs at 72 dpi, so a unit is a point.
constexpr double PageWidth = 595.0;
constexpr double PageHeight = 842.0;
constexpr double Margin = 56.0;
constexpr double BottomMargin = 70.0;
constexpr double TextWidth = PageWidth - 2 * Margin;

enum class Style { Title, Heading, RouteHeading, CardHeading, Body };

struct Line
{
    Style style = Style::Body;
    QStringList cells;      // texts at the x offsets below
    QList<double> columns;  // from the left margin
    bool lastRight = false; // the last cell ends at the right margin (a page number)
    double spaceBefore = 0;
};
using Block = QList<Line>;

Line text(Style style, const QString &text, double spaceBefore = 0)
{
    return {style, {text}, {0.0}, false, spaceBefore};
}

class Layout
{
public:
    Layout(QPdfWriter &writer, QPainter *painter, int totalPages)
        : writer(writer), painter(painter), totalPages(totalPages)
    {
        for (Style style :
             {Style::Title, Style::Heading, Style::RouteHeading, Style::CardHeading, Style::Body}) {
            QFont font;
            font.setPointSizeF(pointSize(style));
            font.setBold(style != Style::Body);
            // No ligatures: "fl" stays two letters that a search finds.
            font.setStyleStrategy(QFont::PreferNoShaping);
            fonts[int(style)] = font;
            metrics.append(QFontMetricsF(font, &writer));
            spacing[int(style)] = metrics.last().lineSpacing();
        }
    }

    int page() const { return pageNumber; }

    void newPage()
    {
        if (pageNumber > 0) {
            footer();
            if (painter)
                writer.newPage();
        }
        ++pageNumber;
        y = Margin;
    }

    // A block that fits on a page is not split; a longer one runs on.
    // Returns the page the block begins on (a block longer than a page ends on a later one).
    int place(const Block &block)
    {
        double needed = 0;
        for (const Line &line : block)
            needed += height(line);
        if (pageNumber == 0 || (y + needed > PageHeight - BottomMargin &&
                                needed <= PageHeight - BottomMargin - Margin && y > Margin))
            newPage();
        int first = 0;
        for (const Line &line : block) {
            if (y + height(line) > PageHeight - BottomMargin)
                newPage();
            if (first == 0)
                first = pageNumber;
            y += line.spaceBefore;
            draw(line);
            y += spacing[int(line.style)];
        }
        return first ? first : pageNumber;
    }

    void finish() { footer(); }

    static double pointSize(Style style)
    {
        switch (style) {
        case Style::Title:
            return 26;
        case Style::Heading:
            return 16;
        case Style::RouteHeading:
            return 12;
        default:
            return 9;
        }
    }

    double height(const Line &line) const { return line.spaceBefore + spacing[int(line.style)]; }

    // A single long text breaks at spaces, the lines after the first indented. Words are
    // measured one by one: measuring each growing line again made a large index slow.
    Block wrapped(const Line &line) const
    {
        const QFontMetricsF &metrics = this->metrics.at(int(line.style));
        const double width = TextWidth - line.columns.value(0);
        if (metrics.horizontalAdvance(line.cells.first()) <= width)
            return {line};
        const double space = metrics.horizontalAdvance(QLatin1Char(' '));
        Block lines;
        QStringList current;
        double used = 0;
        Line next = line;
        for (const QString &word : line.cells.first().split(QLatin1Char(' '))) {
            const double advance = metrics.horizontalAdvance(word);
            const double room = lines.isEmpty() ? width : width - 24;
            if (!current.isEmpty() && used + space + advance > room) {
                next.cells = {current.join(QLatin1Char(' '))};
                lines << next;
                next.spaceBefore = 0;
                next.columns = {line.columns.value(0) + 24};
                current.clear();
                used = 0;
            }
            used += current.isEmpty() ? advance : space + advance;
            current << word;
        }
        next.cells = {current.join(QLatin1Char(' '))};
        lines << next;
        return lines;
    }

    // A line is drawn as one run of glyphs, its cells placed in their columns: the PDF gets
    // one text item a line instead of one a cell, which halves the time of a large book.
    void draw(const Line &line)
    {
        if (!painter)
            return;
        if (line.cells.size() == 1) { // headings and index lines: each text once
            painter->setFont(fonts[int(line.style)]);
            painter->drawText(
                QPointF(Margin + line.columns.value(0), y + metrics.at(int(line.style)).ascent()),
                line.cells.first());
            return;
        }
        QList<quint32> indexes;
        QList<QPointF> positions;
        QRawFont font;
        for (int i = 0; i < line.cells.size(); ++i) {
            const QList<QGlyphRun> &runs = glyphs(line.style, line.cells.at(i));
            if (runs.isEmpty())
                continue;
            double x = line.columns.value(i);
            if (line.lastRight && i == line.cells.size() - 1)
                x = TextWidth - metrics.at(int(line.style)).horizontalAdvance(line.cells.at(i));
            for (const QGlyphRun &run : runs) {
                // A fallback font for some letters: that run goes on its own.
                if (font.isValid() && !(run.rawFont() == font)) {
                    painter->drawGlyphRun(QPointF(Margin + x, y), run);
                    continue;
                }
                font = run.rawFont();
                indexes << run.glyphIndexes();
                for (const QPointF &at : run.positions())
                    positions << at + QPointF(x, 0);
            }
        }
        if (indexes.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(font);
        run.setGlyphIndexes(indexes);
        run.setPositions(positions);
        painter->drawGlyphRun(QPointF(Margin, y), run);
    }

    // The glyphs of a cell, laid out once: rows repeat the same few words.
    const QList<QGlyphRun> &glyphs(Style style, const QString &text)
    {
        auto found = shaped[int(style)].find(text);
        if (found != shaped[int(style)].end())
            return *found;
        QTextLayout layout(text, fonts[int(style)], &writer);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        return *shaped[int(style)].insert(text, layout.glyphRuns());
    }

    void footer()
    {
        if (!painter || pageNumber == 0)
            return;
        painter->setFont(fonts[int(Style::Body)]);
        const QString text = QCoreApplication::translate("MainWindow", "Seite %1 von %2")
                                 .arg(pageNumber)
                                 .arg(totalPages);
        const double width = metrics.at(int(Style::Body)).horizontalAdvance(text);
        painter->drawText(QPointF((PageWidth - width) / 2, PageHeight - BottomMargin / 2), text);
    }

    QPdfWriter &writer;
    QPainter *painter;
    int totalPages;
    QFont fonts[5];
    QList<QFontMetricsF> metrics;
    double spacing[5] = {};
    QHash<QString, QList<QGlyphRun>> shaped[5];
    int pageNumber = 0;
    double y = Margin;
};

// The texts every route's block uses, translated once.
struct RouteTexts
{
    QString heading = QCoreApplication::translate("MainWindow", "Fahrstrasse %1");
    QString mode = QCoreApplication::translate("MainWindow", "Modus: %1");
    QString start = QCoreApplication::translate("MainWindow", "Starttaste: %1");
    QString destination = QCoreApplication::translate("MainWindow", "Zieltaste: %1");
    QString none = QCoreApplication::translate("MainWindow", "(keine Einträge)");
    QStringList cards = [] {
        QStringList headings;
        for (int card = 2; card <= 7; ++card)
            headings << RouteExport::cardHeading(card);
        return headings;
    }();
    QStringList numbers = [] {
        QStringList texts;
        for (int n = 1; n <= 20; ++n)
            texts << QString::number(n);
        return texts;
    }();
    QList<double> keyColumns{0.0, 240.0};
    QList<double> rowColumns{12.0, 36.0, 170.0, 240.0};
};

Block routeBlock(const HeldRoute &held, const RouteTexts &texts)
{
    const DecodedRoute &route = held.route;
    QString heading = texts.heading.arg(held.number);
    if (!route.comment.isEmpty())
        heading += QStringLiteral(" – ") + route.comment;
    Block block{text(Style::RouteHeading, heading, 12),
                text(Style::Body, texts.mode.arg(route.mode), 2),
                Line{Style::Body,
                     {texts.start.arg(
                          RouteRecord::keyText(route.startPlan, route.startRow, route.startColumn)),
                      texts.destination.arg(RouteRecord::keyText(
                          route.destinationPlan, route.destinationRow, route.destinationColumn))},
                     texts.keyColumns,
                     false,
                     0}};
    bool any = false;
    for (int card = 2; card <= 7; ++card) {
        const QList<RouteRow> &rows = route.cards[size_t(card - 2)];
        bool heading = false;
        for (int i = 0; i < rows.size(); ++i) {
            const RouteRow &row = rows.at(i);
            if (row.isEmpty())
                continue;
            if (!heading)
                block << text(Style::CardHeading, texts.cards.at(card - 2), 4);
            heading = any = true;
            block << Line{Style::Body,
                          {texts.numbers.at(RouteRecord::slotNumber(card, i) - 1), row.type,
                           row.address, row.command},
                          texts.rowColumns,
                          false,
                          0};
        }
    }
    if (!any)
        block << text(Style::Body, texts.none, 2);
    return block;
}

// The whole book; `routePages` holds each route's page from an earlier pass (or nothing), and
// `found` receives the pages of this one.
void layBook(Layout &layout, const QList<HeldRoute> &routes, const QList<Block> &routeBlocks,
             const RouteBook::Title &title, const QStringList &index, const QList<int> &routePages,
             QList<int> *found)
{
    Block front{
        text(Style::Title, QCoreApplication::translate("MainWindow", "Fahrstrassenbuch"), 180)};
    if (!title.serial.isEmpty())
        front << text(Style::Body,
                      QCoreApplication::translate("MainWindow", "Gleistron %1, Software %2")
                          .arg(title.serial, title.software),
                      24);
    front << text(Style::Body,
                  QCoreApplication::translate("MainWindow", "Datensicherung: %1")
                      .arg(title.fileName.isEmpty()
                               ? QCoreApplication::translate("MainWindow", "nicht gespeichert")
                               : title.fileName),
                  6)
          << text(Style::Body,
                  QCoreApplication::translate("MainWindow", "Gedruckt am %1")
                      .arg(title.printed.toString(QStringLiteral("dd.MM.yyyy HH:mm"))),
                  6)
          << text(Style::Body,
                  QCoreApplication::translate("MainWindow", "Fahrstrassen: %1").arg(routes.size()),
                  6);
    for (const Line &line : std::as_const(front))
        layout.place(layout.wrapped(line));

    layout.newPage();
    layout.place({text(Style::Heading, QCoreApplication::translate("MainWindow", "Inhalt"))});
    for (int i = 0; i < routes.size(); ++i)
        layout.place({Line{Style::Body,
                           {QString::number(routes.at(i).number), routes.at(i).route.comment,
                            QString::number(routePages.value(i))},
                           {0.0, 40.0, 0.0},
                           true,
                           2}});

    layout.newPage();
    for (const Block &block : routeBlocks)
        found->append(layout.place(block));

    layout.newPage();
    layout.place({text(Style::Heading,
                       QCoreApplication::translate("MainWindow", "Verzeichnis der Elemente"))});
    for (const QString &line : index)
        layout.place(layout.wrapped(text(Style::Body, line, 2)));
    layout.finish();
}

} // namespace

bool RouteBook::write(const QString &path, const QList<HeldRoute> &routes, const Title &title,
                      QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QPdfWriter writer(&file);
    writer.setResolution(72);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setTitle(QCoreApplication::translate("MainWindow", "Fahrstrassenbuch"));
    writer.setCreator(QStringLiteral("Gleistron Manager"));
    const QStringList index = RouteExport::indexLines(routes);
    const RouteTexts texts;
    QList<Block> routeBlocks;
    routeBlocks.reserve(routes.size());
    for (const HeldRoute &held : routes)
        routeBlocks << routeBlock(held, texts);

    // First where everything falls, then the book with the contents' page numbers.
    QList<int> pages;
    Layout measure(writer, nullptr, 0);
    layBook(measure, routes, routeBlocks, title, index, {}, &pages);
    QPainter painter;
    if (!painter.begin(&writer)) {
        *error =
            QCoreApplication::translate("MainWindow", "Die PDF-Datei kann nicht angelegt werden.");
        return false;
    }
    QList<int> again;
    Layout book(writer, &painter, measure.page());
    layBook(book, routes, routeBlocks, title, index, pages, &again);
    painter.end();
    if (!file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}
