#pragma once

#include <QString>

// A version word as the station and its files show it: 1299 reads "1.299".
QString versionText(quint16 version);
