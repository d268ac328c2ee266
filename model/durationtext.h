#pragma once

#include <QString>

// A duration as the program shows it: minutes and seconds, "4:42".
inline QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
