#pragma once

#include <QString>

class QWidget;

// A question with "Ja" and "Nein", "Nein" the default and the escape: true for "Ja".
bool askYes(QWidget *parent, const QString &text);
