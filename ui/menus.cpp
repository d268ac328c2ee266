// The window's menus: the file actions wired to the document and the tabs, the platform's keys,
// and the help menu.

#include "link/statustexts.h"
#include "mainwindow.h"
#include "ui/backuptab.h"
#include "ui/documentactions.h"
#include "ui/routestab.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>

// The menus' items to the document's dialogs and to the tabs that serve them.
void MainWindow::connectActions()
{
    DocumentActions *file = actions.get();
    connect(ui->action_oeffnen, &QAction::triggered, file, [file] { file->open(); });
    connect(ui->actionSpeichern, &QAction::triggered, file, [file] { file->save(); });
    connect(ui->actionSpeichern_unter, &QAction::triggered, file, [file] { file->saveAs(); });
    connect(ui->action_leeren, &QAction::triggered, file, [file] { file->clear(); });
    connect(ui->actionVergleichen, &QAction::triggered, file, [file] { file->compare(); });
    connect(ui->actionLetzteSicherungen, &QAction::triggered, file,
            [file] { file->recentBackups(); });
    connect(ui->actionMitGleistronVergleichen, &QAction::triggered, backup.get(),
            &BackupTab::compareWithStation);
    connect(ui->actionDrucken, &QAction::triggered, routes.get(), &RoutesTab::print);
    connect(ui->actionFahrstrassenbuch, &QAction::triggered, routes.get(), &RoutesTab::askBook);
    connect(ui->actionFahrstrassenExportieren, &QAction::triggered, routes.get(),
            &RoutesTab::askExport);
    connect(routes.get(), &RoutesTab::routesHeld, this, [this](bool held) {
        ui->actionFahrstrassenbuch->setEnabled(held);
        ui->actionFahrstrassenExportieren->setEnabled(held);
    });
}

// The platform's keys for the file actions, "Beenden", and a help menu; their texts are set
// again at every language switch.
void MainWindow::addKeysAndHelp()
{
    // The platform's key, else the common one (some platforms name none for quit or save as).
    const auto standard = [](QKeySequence::StandardKey key, const char *fallback) {
        const QKeySequence sequence(key);
        return sequence.isEmpty() ? QKeySequence(QLatin1String(fallback)) : sequence;
    };
    ui->action_oeffnen->setShortcut(standard(QKeySequence::Open, "Ctrl+O"));
    ui->actionSpeichern->setShortcut(standard(QKeySequence::Save, "Ctrl+S"));
    ui->actionSpeichern_unter->setShortcut(standard(QKeySequence::SaveAs, "Ctrl+Shift+S"));
    ui->actionDrucken->setShortcut(standard(QKeySequence::Print, "Ctrl+P"));
    quitAction = new QAction(this);
    quitAction->setObjectName(QStringLiteral("actionBeenden"));
    quitAction->setShortcut(standard(QKeySequence::Quit, "Ctrl+Q"));
    connect(quitAction, &QAction::triggered, this, &QWidget::close);
    logAction = new QAction(this);
    logAction->setObjectName(QStringLiteral("actionProtokollSpeichern"));
    connect(logAction, &QAction::triggered, this, [this] {
        const QString name = DocumentActions::askTextFile(this, tr("Protokoll speichern"),
                                                          QDir::homePath(), tr("protokoll"));
        if (!name.isEmpty() && !saveLog(name))
            consoleAppend(
                tr("<BR><B>%1 kann nicht geschrieben werden.</B><BR>").arg(name.toHtmlEscaped()));
    });
    ui->menuDatei->setToolTipsVisible(true); // the compares say what they do
    ui->menuDatei->addSeparator();
    ui->menuDatei->addAction(logAction);
    ui->menuDatei->addSeparator();
    ui->menuDatei->addAction(quitAction);
    helpMenu = menuBar()->addMenu(QString());
    helpMenu->setObjectName(QStringLiteral("menuHilfe"));
    manualAction = helpMenu->addAction(QString());
    manualAction->setObjectName(QStringLiteral("actionHandbuch"));
    manualAction->setShortcut(standard(QKeySequence::HelpContents, "F1"));
    // The start page holds the manual of the language shown.
    connect(manualAction, &QAction::triggered, this,
            [this] { ui->tabWidget->setCurrentWidget(ui->tab_Start); });
    aboutAction = helpMenu->addAction(QString());
    aboutAction->setObjectName(QStringLiteral("actionUeber"));
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    // The next and the previous tab from anywhere in the window, as desktop programs do.
    const auto step = [this](int by) {
        QTabWidget *tabs = ui->tabWidget;
        tabs->setCurrentIndex((tabs->currentIndex() + by + tabs->count()) % tabs->count());
    };
    for (const QKeySequence &keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(1); });
    for (const QKeySequence &keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::Key_PageUp)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [step] { step(-1); });
}

void MainWindow::retranslateKeysAndHelp()
{
    logAction->setText(tr("&Protokoll speichern ..."));
    quitAction->setText(tr("&Beenden"));
    helpMenu->setTitle(tr("&Hilfe"));
    manualAction->setText(tr("&Handbuch"));
    aboutAction->setText(tr("Ü&ber Gleistron Manager ..."));
}

QString MainWindow::aboutText()
{
    return tr("<b>Gleistron Manager %1</b><br><br>Datensicherung, Fahrstrassen und "
              "LSB-Firmware für die Orvandel Gleistron Zentrale.<br><br>Freie Software unter "
              "der GNU General Public License, Version 3 oder später.<br><br>"
              "<a href=\"%2\">%2</a>")
        .arg(QStringLiteral(GLEISTRON_VERSION), QLatin1String(StatusTexts::webHost));
}

void MainWindow::showAbout()
{
    QMessageBox::about(this, tr("Über Gleistron Manager"), aboutText());
}

void MainWindow::on_tabWidget_currentChanged(int index)
{
    // Printing prints the shown route.
    ui->actionDrucken->setEnabled(routes && ui->tabWidget->widget(index) == routes.get());
}
