#include "versiontext.h"

QString versionText(quint16 version)
{
    QString text = QString::number(version).rightJustified(4, QLatin1Char('0'));
    text.insert(1, QLatin1Char('.'));
    return text;
}
