#include "link/logging.h"
#include "mainwindow.h"
#include "ui/backuptab.h"
#include "ui/lsbpage.h"
#include "ui/routestab.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QLibraryInfo>

namespace {
const char *settingsFile = "settings.ini";

bool writeSetting(const char *line)
{
    QFile file{QString::fromLatin1(settingsFile)};
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    file.write(line);
    return true;
}
} // namespace

void MainWindow::applySavedLanguage()
{
    QFile file{QString::fromLatin1(settingsFile)};
    const bool english =
        file.open(QIODevice::ReadOnly) && file.readLine().startsWith("language=en");
    setLanguage(english ? English : German);
}

// The form's own texts; the values the window shows (the station's identity) are not in the
// form and stay. Each tab does the same for itself.
void MainWindow::retranslate()
{
    ui->retranslateUi(this);
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(backup.get()), tr("Date&nsicherung"));
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(routes.get()), tr("&Fahrstrassen"));
    ui->tabWidget->setTabText(ui->tabWidget->indexOf(lsb.get()), tr("LSB Updat&e"));
    // At once, not only when the posted language change reaches them.
    backup->retranslate();
    routes->retranslate();
    lsb->retranslate();
    retranslateKeysAndHelp();
    showAdapterStatus();
    refreshLabels();
}

void MainWindow::setLanguage(Language chosen)
{
    language = chosen;
    const bool english = chosen == English;
    ui->textEdit_manual_de->setVisible(!english);
    ui->textEdit_manual_en->setVisible(english);
    ui->radioButton_German->setChecked(!english);
    ui->radioButton_English->setChecked(english);
    ui->actionDeutsch->setChecked(!english);
    ui->actionEnglisch->setChecked(english);
    const bool saved = writeSetting(english ? "language=en\n" : "language=de\n");
    if (english) {
        QApplication::removeTranslator(&qtTranslator);
        const bool loaded = translator.load(QStringLiteral("language_en"));
        QApplication::installTranslator(&translator);
        qCDebug(lcUi, "translator installation: %d", int(loaded));
    } else {
        QApplication::removeTranslator(&translator);
        // Qt's own texts too (file dialogs, standard buttons).
        if (qtTranslator.load(QStringLiteral("qtbase_de"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QApplication::installTranslator(&qtTranslator);
    }
    retranslate();
    if (!saved)
        settingNotSaved();
}

// The window switches all the same, so that it never shows two languages; only the choice is
// not kept for the next start.
void MainWindow::settingNotSaved()
{
    consoleAppend(tr("<BR><span style=\"font-weight:bold;color:#660000;\">settings.ini kann nicht "
                     "geschrieben werden:</span> die Sprache gilt nur bis zum Ende des "
                     "Programms.<BR>"));
}

void MainWindow::on_actionEnglisch_triggered()
{
    setLanguage(English);
}

void MainWindow::on_actionDeutsch_triggered()
{
    setLanguage(German);
}

void MainWindow::on_radioButton_English_clicked()
{
    setLanguage(English);
}

void MainWindow::on_radioButton_German_clicked()
{
    setLanguage(German);
}
