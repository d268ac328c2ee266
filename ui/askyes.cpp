#include "askyes.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

bool askYes(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Gleistron Manager"), text,
                    QMessageBox::NoButton, parent);
    QPushButton *yes =
        box.addButton(QCoreApplication::translate("MainWindow", "Ja"), QMessageBox::YesRole);
    QPushButton *no =
        box.addButton(QCoreApplication::translate("MainWindow", "Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}
