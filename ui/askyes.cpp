#include "askyes.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

bool askYes(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Gleistron Manager"), text,
                    QMessageBox::NoButton, parent);
    QPushButton *yes = addAnswer(box, Answer::Yes);
    QPushButton *no = addAnswer(box, Answer::No);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

QPushButton *addAnswer(QMessageBox &box, Answer answer)
{
    switch (answer) {
    case Answer::Yes:
        return box.addButton(QCoreApplication::translate("MainWindow", "&Ja"),
                             QMessageBox::YesRole);
    case Answer::No:
        return box.addButton(QCoreApplication::translate("MainWindow", "&Nein"),
                             QMessageBox::NoRole);
    default:
        return box.addButton(QCoreApplication::translate("MainWindow", "&Abbrechen"),
                             QMessageBox::RejectRole);
    }
}
