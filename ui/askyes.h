#pragma once

#include <QString>

class QWidget;

// A question with "Ja" and "Nein", "Nein" the default and the escape: true for "Ja".
bool askYes(QWidget *parent, const QString &text);

class QMessageBox;
class QPushButton;

// The answers of the program's questions, each with its mnemonic (Alt+J, Alt+N, Alt+A; in
// English Alt+Y, Alt+N, Alt+C).
enum class Answer { Yes, No, Cancel };
QPushButton *addAnswer(QMessageBox &box, Answer answer);
