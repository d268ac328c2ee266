// Draws the program's images (flags, icons, the wordmark, the device picture) into the folder
// given as argument. Run by hand when an image changes; the results are committed.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

QImage germanFlag()
{
    QImage image(48, 30, QImage::Format_ARGB32);
    QPainter p(&image);
    p.fillRect(0, 0, 48, 10, QColor(0, 0, 0));
    p.fillRect(0, 10, 48, 10, QColor(221, 0, 0));
    p.fillRect(0, 20, 48, 10, QColor(255, 206, 0));
    return image;
}

QImage englishFlag()
{
    QImage image(48, 30, QImage::Format_ARGB32);
    image.fill(QColor(1, 33, 105));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::white, 6));
    p.drawLine(0, 0, 48, 30);
    p.drawLine(0, 30, 48, 0);
    p.setPen(QPen(QColor(200, 16, 46), 2));
    p.drawLine(0, 0, 48, 30);
    p.drawLine(0, 30, 48, 0);
    p.fillRect(19, 0, 10, 30, Qt::white);
    p.fillRect(0, 10, 48, 10, Qt::white);
    p.fillRect(21, 0, 6, 30, QColor(200, 16, 46));
    p.fillRect(0, 12, 48, 6, QColor(200, 16, 46));
    return image;
}

// A rail wheel on a track: the program's mark.
QImage mark(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size / 32.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 84, 147));
    p.drawRoundedRect(QRectF(1 * s, 1 * s, 30 * s, 30 * s), 6 * s, 6 * s);
    p.setBrush(QColor(240, 240, 240));
    p.drawEllipse(QPointF(16 * s, 14 * s), 9 * s, 9 * s);
    p.setBrush(QColor(0, 84, 147));
    p.drawEllipse(QPointF(16 * s, 14 * s), 3 * s, 3 * s);
    p.setBrush(QColor(255, 190, 0));
    p.drawRect(QRectF(3 * s, 25 * s, 26 * s, 3 * s));
    return image;
}

QImage wordmark()
{
    QImage image(340, 112, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawImage(QRect(8, 12, 88, 88), mark(88));
    QFont font(QStringLiteral("DejaVu Sans"), 30, QFont::Bold);
    p.setFont(font);
    p.setPen(QColor(0, 84, 147));
    p.drawText(QRect(104, 8, 236, 70), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Orvandel"));
    QFont small(QStringLiteral("DejaVu Sans"), 13);
    p.setFont(small);
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRect(106, 70, 236, 30), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Digitale Modellbahn"));
    return image;
}

QImage deviceImage()
{
    QImage image(96, 64, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(30, 30, 30), 2));
    p.setBrush(QColor(0, 110, 60));
    p.drawRoundedRect(QRectF(6, 10, 84, 44), 4, 4);
    p.setBrush(QColor(20, 20, 20));
    p.drawRect(QRectF(34, 20, 28, 24));
    p.setPen(QPen(QColor(200, 170, 60), 2));
    for (int i = 0; i < 5; ++i) {
        p.drawLine(QPointF(37 + i * 5.5, 20), QPointF(37 + i * 5.5, 15));
        p.drawLine(QPointF(37 + i * 5.5, 44), QPointF(37 + i * 5.5, 49));
    }
    p.setBrush(QColor(230, 60, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(16, 20), 3, 3);
    return image;
}

// 16 colours, as the classic program icon.
QImage sixteenColours(const QImage &source)
{
    return source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither)
        .convertToFormat(QImage::Format_ARGB32);
}

bool save(const QImage &image, const QDir &dir, const char *name, const char *format)
{
    const QString path = dir.filePath(QString::fromLatin1(name));
    if (!image.save(path, format)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawimages OUTPUT_DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    bool ok = save(germanFlag(), dir, "German_flag.PNG", "PNG");
    ok = save(englishFlag(), dir, "English_flag.PNG", "PNG") && ok;
    ok = save(mark(32), dir, "ol_flach.ico", "ICO") && ok;
    ok = save(sixteenColours(mark(32)), dir, "ol.ico", "ICO") && ok;
    ok = save(wordmark(), dir, "Orvandel-Logo_2011_Vorlage.png", "PNG") && ok;
    ok = save(deviceImage(), dir, "lsb_device.png", "PNG") && ok;
    ok = save(mark(64), dir, "gleistron-manager.png", "PNG") && ok;
    return ok ? 0 : 1;
}
