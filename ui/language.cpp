#include "link/logging.h"
#include "mainwindow.h"
#include "ui/routestab.h"
#include "ui/translatedtext.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>

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
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray line = file.readLine();
        file.close();
        if (line.startsWith("language=en"))
            setLanguageEnglish();
        else
            setLanguageGerman();
    } else {
        setLanguageGerman();
    }
}

// retranslateUi puts the form's own texts back; the values the program has shown since (the
// station's identity, the firmware page, the shown route, a running transfer) stay.
void MainWindow::retranslate()
{
    const QList<QLabel *> values = {ui->label_serialNr,
                                    ui->label_softwareVersion,
                                    ui->label_protokollVersion,
                                    ui->label_datenmodellVersion,
                                    ui->label_serialNr_backup,
                                    ui->label_softwareVersion_backup,
                                    ui->label_backup_action,
                                    ui->label_Fahrstrasse_nr,
                                    ui->label_Fahrstrasse_modus,
                                    ui->label_lsb_update_data_task,
                                    ui->label_lsb_update_data_typ,
                                    ui->label_lsb_update_data_sw,
                                    ui->label_lsb_update_device_task,
                                    ui->label_lsb_update_device_typ,
                                    ui->label_lsb_update_device_hw,
                                    ui->label_lsb_update_device_sw};
    const QList<QLineEdit *> fields = {ui->lineEdit_lsb_filename, ui->lineEdit_Fahrstrasse_TXT};
    QStringList texts;
    for (const QLabel *label : values)
        texts << label->text();
    for (const QLineEdit *field : fields)
        texts << field->text();
    const QString barFormat = ui->progressBar_backup->format();
    ui->retranslateUi(this);
    for (int i = 0; i < values.size(); ++i) {
        if (!retranslateText(values.at(i)))
            values.at(i)->setText(texts.at(i));
    }
    for (int i = 0; i < fields.size(); ++i)
        fields.at(i)->setText(texts.at(values.size() + i));
    ui->progressBar_backup->setFormat(barFormat);
    retranslateKeysAndHelp();
    showAdapterStatus();
    if (routes)
        routes->showCount();
    refreshLabels();
}

void MainWindow::setLanguageGerman()
{
    language = 0;
    ui->textEdit_manual_en->hide();
    ui->textEdit_manual_de->show();
    ui->radioButton_German->setChecked(true);
    ui->radioButton_English->setChecked(false);
    ui->actionDeutsch->setChecked(true);
    ui->actionEnglisch->setChecked(false);
    const bool saved = writeSetting("language=de\n");
    (void)translator.load(QStringLiteral("language_en"));
    QApplication::removeTranslator(&translator);
    // Qt's own texts too (file dialogs, standard buttons).
    if (qtTranslator.load(QStringLiteral("qtbase_de"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
    retranslate();
    if (!saved)
        settingNotSaved();
}

void MainWindow::setLanguageEnglish()
{
    language = 1;
    ui->textEdit_manual_de->hide();
    ui->textEdit_manual_en->show();
    ui->radioButton_German->setChecked(false);
    ui->radioButton_English->setChecked(true);
    ui->actionDeutsch->setChecked(false);
    ui->actionEnglisch->setChecked(true);
    const bool saved = writeSetting("language=en\n");
    QApplication::removeTranslator(&qtTranslator);
    const bool loaded = translator.load(QStringLiteral("language_en"));
    QApplication::installTranslator(&translator);
    qCDebug(lcUi, "translator installation: %d", int(loaded));
    qCDebug(lcUi).noquote() << QObject::tr("Das ist ein Test für die Übersetzung!");
    qCDebug(lcUi).noquote() << QObject::tr("Einfaches Test");
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
    setLanguageEnglish();
}

void MainWindow::on_actionDeutsch_triggered()
{
    setLanguageGerman();
}

void MainWindow::on_radioButton_English_clicked()
{
    setLanguageEnglish();
}

void MainWindow::on_radioButton_German_clicked()
{
    setLanguageGerman();
}
