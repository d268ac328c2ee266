// The backup tab: direction, selection, starting a transfer and following it.

#include "ui/backuptab.h"

#include "backupfile/backupfile.h"
#include "backupfile/document.h"
#include "commands/comm2pc.h"
#include "link/statustexts.h"
#include "model/durationtext.h"
#include "model/versiontext.h"
#include "ui/askyes.h"
#include "ui/jobhost.h"
#include "ui/sessionhtml.h"
#include "ui/translatedtext.h"
#include "ui_backuptab.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <utility>

BackupTab::BackupTab(JobHost &host, Document &document, QWidget *parent)
    : QWidget(parent), host(host), ui(std::make_unique<Ui::BackupTab>()), document(document)
{
    ui->setupUi(this);
    ui->groupBox_backup_open->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->hide();
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
    ui->pushButton_backup_cancel->hide();
    ui->checkBox_backup_keep_previous->hide();
    ui->checkBox_backup_verify->hide();
    ui->progressBar_backup->hide(); // until the first transfer: idle, it looks like a field
    // Kept for the form's layout; what they would hold is not offered.
    ui->checkBox_user_lokfunktionen->hide();
    ui->checkBox_user_signale->hide();
    setBoxes = {ui->checkBox_lokomotiven,  ui->checkBox_gleisplan1, ui->checkBox_gleisplan2,
                ui->checkBox_gleisplan3,   ui->checkBox_weichen,    ui->checkBox_rueckmelder,
                ui->checkBox_fahrstrassen, ui->checkBox_lsb,        ui->checkBox_hsb,
                ui->checkBox_system,       ui->checkBox_lokbilder};
    sourceLabels = {
        ui->label_source_lokomotiven,  ui->label_source_gleisplan1, ui->label_source_gleisplan2,
        ui->label_source_gleisplan3,   ui->label_source_weichen,    ui->label_source_rueckmelder,
        ui->label_source_fahrstrassen, ui->label_source_lsb,        ui->label_source_hsb,
        ui->label_source_system,       ui->label_source_lokbilder};

    summary = new QLabel(ui->groupBox_backup_daten);
    summary->setObjectName(QStringLiteral("label_document_summary"));
    summary->setStyleSheet(QStringLiteral("font-weight: bold"));
    ui->verticalLayout_daten->insertWidget(0, summary);

    transfers = std::make_unique<TransferSession>();
    TransferSession *t = transfers.get();
    connect(t, &TransferSession::jobStarted, this, [this](StationLink *job) {
        this->host.connectStatus(job);
        this->host.trackJob(job, false); // the session deletes it
        connect(
            job, &StationLink::signal_exchange_failed, this, [this] { linkLost(true); },
            Qt::QueuedConnection);
        connect(
            job, &StationLink::signal_reconnected, this, [this] { linkLost(false); },
            Qt::QueuedConnection);
    });
    connect(t, &TransferSession::message, this, &BackupTab::message);
    connect(t, &TransferSession::report, this,
            [this](const TransferEvent &event) { emit message(transferEventHtml(event)); });
    connect(t, &TransferSession::progress, this, &BackupTab::progress);
    connect(t, &TransferSession::routesChanged, this, &BackupTab::routesChanged);
    connect(t, &TransferSession::versionProblem, this, &BackupTab::versionProblem);
    connect(ui->pushButton_backup_dir_comm_pc, &QPushButton::clicked, this,
            &BackupTab::chooseDownload);
    connect(ui->pushButton_backup_dir_pc_comm, &QPushButton::clicked, this,
            &BackupTab::chooseUpload);
    connect(ui->checkBox_select_all, &QCheckBox::toggled, this, &BackupTab::selectAll);
    connect(ui->pushButton_backup_download, &QPushButton::clicked, this, &BackupTab::startDownload);
    connect(ui->pushButton_backup_upload, &QPushButton::clicked, this, &BackupTab::startUpload);
    connect(ui->pushButton_backup_cancel, &QPushButton::clicked, this, &BackupTab::cancel);
    connect(t, &TransferSession::finished, this,
            [this](const TransferSession::Result &result) { sessionFinished(result); });
}

namespace {
// The chosen direction is green; a style sheet hides the style's focus frame, so the focused
// button draws its own.
QString chosenDirectionStyle()
{
    return QStringLiteral("* { background-color: rgb(50,200,50) } "
                          "*:focus { border: 2px solid rgb(30,90,200); border-radius: 3px; "
                          "padding: 3px }");
}
} // namespace

BackupTab::~BackupTab() = default;

void BackupTab::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

// The form leaves the values the tab has set; the tab's own texts follow.
void BackupTab::retranslate()
{
    ui->retranslateUi(this);
    retranslateText(ui->label_backup_action);
    if (transferring)
        showTimeLeft();
    refresh();
}

void BackupTab::showConnectHint(bool shown)
{
    ui->label_4->setVisible(shown);
}

void BackupTab::chooseDownload()
{
    if (chosen != Direction::Download && !transferring)
        hideProgress(); // the bar was the other direction's
    chosen = Direction::Download;
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(chosenDirectionStyle());
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_upload->hide();
    ui->checkBox_backup_keep_previous->hide();
    ui->checkBox_backup_verify->hide();
    ui->pushButton_backup_download->show();
    emit documentChanged();
}

void BackupTab::chooseUpload()
{
    // What was ticked to download is not silently what gets uploaded: the user ticks anew.
    if (chosen == Direction::Download)
        untickAll();
    if (chosen != Direction::Upload && !transferring)
        hideProgress();
    chosen = Direction::Upload;
    ui->pushButton_backup_dir_pc_comm->setStyleSheet(chosenDirectionStyle());
    ui->pushButton_backup_dir_comm_pc->setStyleSheet(QString());
    ui->groupBox_backup_daten->show();
    ui->label_backup_richtung->hide();
    ui->pushButton_backup_download->hide();
    ui->pushButton_backup_upload->show();
    ui->checkBox_backup_keep_previous->show();
    ui->checkBox_backup_verify->show();
    emit documentChanged();
}

void BackupTab::selectAll(bool checked)
{
    for (QCheckBox *box : std::as_const(setBoxes))
        box->setChecked(checked);
    for (QCheckBox *box : std::as_const(setBoxes)) {
        if (!box->isEnabled())
            box->setChecked(false);
    }
}

void BackupTab::refresh()
{
    // The document is the transfer's until it has reported its end: its status and presence
    // flags are read after that, not while the job writes them.
    if (transferring)
        return;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        QCheckBox *box = setBoxes.at(set);
        if (chosen == Direction::Download)
            box->setEnabled(true);
        else if (chosen == Direction::Upload)
            box->setEnabled(document.image.presentSets[size_t(set)] != 0);
        if (!box->isEnabled())
            box->setChecked(false);
    }
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        const bool present = document.image.presentSets[size_t(set)] != 0;
        QLabel *label = sourceLabels.at(set);
        // Where the set came from: a file's name, or the station and the time.
        const QString source = Document::sourceText(document.sources[size_t(set)]);
        // Sets of records say how many; a file's sets and the station's read differently.
        QString what;
        const bool counted =
            present && Catalogue::entry(set).statusOffset >= 0 && set != Catalogue::Lokbilder;
        if (counted)
            what = QCoreApplication::translate("MainWindow", "%n Datensätze", nullptr,
                                               document.image.presentRecords(set));
        if (!source.isEmpty())
            what += (what.isEmpty() ? QString() : QStringLiteral(", ")) + source;
        // A count says the data is there; sets without one say so in words.
        if (!present)
            label->setText(QStringLiteral("-"));
        else if (counted)
            label->setText(what);
        else
            label->setText(QCoreApplication::translate("MainWindow", "(Daten vorhanden)") +
                           (what.isEmpty() ? QString() : QStringLiteral(" – ") + what));
        if (Catalogue::entry(set).statusOffset >= 0 && set != Catalogue::Lokbilder) {
            label->setToolTip(
                present ? QCoreApplication::translate("MainWindow", "%n Datensätze", nullptr,
                                                      document.image.presentRecords(set))
                        : QString());
        }
    }
    summary->setText(documentSummary());
}

void BackupTab::setTransferButtonsEnabled(bool enabled)
{
    ui->pushButton_backup_download->setEnabled(enabled);
    ui->pushButton_backup_upload->setEnabled(enabled);
}

void BackupTab::begin(const char *actionText)
{
    transferring = true;
    clock.start();
    timeLeft = StatusTexts::TimeLeft();
    pausedMs = 0;
    lost = false;
    ui->progressBar_backup->setValue(0);
    ui->progressBar_backup->setFormat(QStringLiteral("%p%"));
    ui->progressBar_backup->setTextVisible(true);
    ui->progressBar_backup->show();
    ui->pushButton_backup_cancel->show();
    setTranslatedText(ui->label_backup_action, actionText);
    ui->label_backup_action->show();
    setTransferButtonsEnabled(false);
    emit busyChanged(true);
}

bool BackupTab::takeSelection()
{
    for (int set = 0; set < Catalogue::DataSetCount; ++set)
        document.image.selectedSets[size_t(set)] = setBoxes.at(set)->isChecked() ? 1 : 0;
    if (std::any_of(document.image.selectedSets.begin(), document.image.selectedSets.end(),
                    [](quint8 f) { return f != 0; }))
        return true;
    emit message(QCoreApplication::translate(
        "MainWindow", "<BR><B>&nbsp;&nbsp;&nbsp;&nbsp;Warnung: keine Datensätze "
                      "ausgewählt!</B><BR>"));
    return false;
}

void BackupTab::startDownload()
{
    if (host.refuseWhileBusy() || !takeSelection())
        return;
    begin(QT_TRANSLATE_NOOP("MainWindow", "Lade Datensätze aus Gleistron ..."));
    transfers->download(document);
}

// The document against the station's data of the ticked sets, read whole; nothing is written.
void BackupTab::compareWithStation()
{
    if (host.refuseWhileBusy() || !takeSelection())
        return;
    comparing = true;
    begin(QT_TRANSLATE_NOOP("MainWindow", "Vergleiche mit dem Gleistron ..."));
    transfers->compare(document);
}

void BackupTab::startUpload()
{
    if (host.refuseWhileBusy() || !takeSelection())
        return;
    TransferSession::RestoreOptions options;
    options.verify = ui->checkBox_backup_verify->isChecked();
    if (ui->checkBox_backup_keep_previous->isChecked()) {
        options.keepPrevious = askKeepPrevious(document.filePath);
        if (options.keepPrevious.isEmpty())
            return;
    }
    // First a look at what the station holds, so the user knows what the upload will do.
    pendingRestore = options;
    previewing = true;
    begin(QT_TRANSLATE_NOOP("MainWindow", "Prüfe, was das Hochladen ändert ..."));
    transfers->compare(document);
}

void BackupTab::askToUpload(const QList<BackupDiff::Line> &lines)
{
    int changed = 0, added = 0, stationOnly = 0;
    for (const BackupDiff::Line &line : lines) {
        if (line.change == BackupDiff::Line::Changed)
            ++changed;
        else if (line.change == BackupDiff::Line::Removed)
            ++added; // only the document holds it
        else
            ++stationOnly;
    }
    const QString text =
        QCoreApplication::translate(
            "MainWindow", "Das Hochladen überschreibt %1 Datensätze, die im Gleistron anders "
                          "sind, und fügt %2 neue hinzu.<br><br>%3 Datensätze hat nur der "
                          "Gleistron: sie bleiben dort (der Gleistron kann keine löschen).<br><br>"
                          "Jetzt hochladen?")
            .arg(changed)
            .arg(added)
            .arg(stationOnly);
    if (!askYes(window(), text)) {
        emit message(
            QCoreApplication::translate("MainWindow", "<BR>Hochladen nicht gestartet.<BR>"));
        returnToIdle(true);
        hideProgress(); // the look beforehand is no transfer of its own
        return;
    }
    begin(QT_TRANSLATE_NOOP("MainWindow", "Speichere Datensätze im Gleistron ..."));
    transfers->restore(document, pendingRestore);
}

void BackupTab::takeBack(const QString &path, const QList<RecordMerge::Record> &records)
{
    if (host.refuseWhileBusy())
        return;
    auto fromFile = path.isEmpty() ? nullptr : std::make_unique<Document>();
    if (fromFile && fromFile->open(path) != Document::Opened::Ok) {
        emit message(QCoreApplication::translate(
                         "MainWindow", "<BR><B>%1 kann nicht ganz gelesen werden: nichts wurde "
                                       "zurückgeholt.</B><BR>")
                         .arg(path.toHtmlEscaped()));
        return;
    }
    const Document &source = fromFile ? *fromFile : document;
    QList<RecordMerge::Record> held;
    QStringList names;
    for (const RecordMerge::Record &record : records) {
        const QString name =
            QCoreApplication::translate("MainWindow", Catalogue::entry(record.set).name) +
            QLatin1Char(' ') + QString::number(record.number);
        if (!RecordMerge::held(source.image, record)) {
            emit message(QCoreApplication::translate(
                             "MainWindow", "<BR>%1 ist nicht in der Sicherung. Der Gleistron kann "
                                           "keinen Datensatz löschen: er behält ihn, wie er "
                                           "ist.<BR>")
                             .arg(name.toHtmlEscaped()));
            continue;
        }
        held.append(record);
        names << name;
    }
    if (held.isEmpty())
        return;
    const auto sets = RecordMerge::sets(held);
    QStringList setNames;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (sets[size_t(set)])
            setNames << QCoreApplication::translate("MainWindow", Catalogue::entry(set).name);
    }
    const QString text =
        QCoreApplication::translate(
            "MainWindow",
            "Zurückholen aus %1: %2.<br><br>Dazu werden %3 aus dem Gleistron gelesen, nur diese "
            "Datensätze darin ersetzt und alles ganz zurückgesendet: etwa %4 Min. Alles andere "
            "im Gleistron bleibt, wie es ist.<br><br>Jetzt zurückholen?")
            .arg(fromFile ? QFileInfo(path).fileName().toHtmlEscaped()
                          : QCoreApplication::translate("MainWindow", "dem Dokument"),
                 names.join(QStringLiteral(", ")).toHtmlEscaped(),
                 setNames.join(QStringLiteral(", ")),
                 durationText(RecordMerge::estimatedSeconds(sets)));
    TransferSession::RestoreOptions options;
    options.verify = ui->checkBox_backup_verify->isChecked();
    if (!askYes(window(), text))
        return;
    if (ui->checkBox_backup_keep_previous->isChecked()) {
        options.keepPrevious = askKeepPrevious(source.filePath);
        if (options.keepPrevious.isEmpty())
            return;
    }
    recordSource = std::move(fromFile);
    begin(QT_TRANSLATE_NOOP("MainWindow", "Hole Datensätze zurück ..."));
    transfers->restoreRecords(recordSource ? *recordSource : document, held, options);
}

QString BackupTab::askKeepPrevious(const QString &source)
{
    // A name set beforehand is used for this upload only, and not asked again.
    QString target = std::exchange(keepPreviousFile, QString());
    const bool asking = target.isEmpty();
    for (;;) {
        if (asking) {
            const QString folder = document.filePath.isEmpty()
                                       ? QDir::currentPath()
                                       : QFileInfo(document.filePath).absolutePath();
            QFileDialog dialog(
                window(), QCoreApplication::translate("MainWindow", "Vorher sichern"), folder,
                QCoreApplication::translate("MainWindow", "Gleistron BackUp Datei (*.GTB2)"));
            dialog.setObjectName(QStringLiteral("dialog_keep_previous"));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            // An existing file is refused below, not offered for replacing.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            dialog.setDefaultSuffix(QStringLiteral("GTB2"));
            dialog.selectFile(
                BackupFile::freeName(folder, host.stationSerial(), QDate::currentDate()));
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
                return QString();
            target = dialog.selectedFiles().first();
        }
        const QString named = BackupFile::normalizedName(target);
        const QString html =
            named.isEmpty()
                ? QString()
                : sessionProblemHtml(TransferSession::keepPreviousProblem(named, source));
        if (!named.isEmpty() && html.isEmpty())
            return named;
        emit message(html.isEmpty()
                         ? QCoreApplication::translate(
                               "MainWindow", "<BR><B>Bitte eine .GTB2 Datei wählen.</B><BR>")
                         : html);
        if (!asking)
            return QString();
        // Another name, not the same failing one again.
    }
}

void BackupTab::progress(int permille)
{
    if (!transferring)
        return; // a late report after the end
    ui->progressBar_backup->setValue(permille);
    showTimeLeft();
}

// The time left counts only the time the link was up: a pause does not eat into it.
void BackupTab::showTimeLeft()
{
    if (lost) {
        ui->progressBar_backup->setFormat(
            QCoreApplication::translate("MainWindow", "%p% – Verbindung unterbrochen"));
        return;
    }
    const QString left =
        timeLeft.update(clock.elapsed() - pausedMs, ui->progressBar_backup->value());
    ui->progressBar_backup->setFormat(
        left.isEmpty() ? QStringLiteral("%p%")
                       : QCoreApplication::translate("MainWindow", "%p% – noch %1").arg(left));
}

void BackupTab::linkLost(bool isLost)
{
    if (!transferring || isLost == lost)
        return;
    lost = isLost;
    if (lost)
        lostClock.start();
    else
        pausedMs += lostClock.elapsed();
    showTimeLeft();
}

void BackupTab::cancel()
{
    if (transferring)
        transfers->requestStop();
}

void BackupTab::returnToIdle(bool refresh)
{
    transferring = false;
    lost = false;
    // The time left ends with the transfer, and the bar of one that did not finish; the
    // console keeps what happened.
    ui->progressBar_backup->setFormat(QStringLiteral("%p%"));
    if (ui->progressBar_backup->value() < ui->progressBar_backup->maximum())
        hideProgress();
    ui->pushButton_backup_cancel->hide();
    emit busyChanged(false);
    if (refresh)
        emit documentChanged();
    setValueText(ui->label_backup_action, QString());
    ui->label_backup_action->hide();
    setTransferButtonsEnabled(true);
}

void BackupTab::sessionFinished(const TransferSession::Result &result)
{
    if (const QString html = sessionProblemHtml(result.problem); !html.isEmpty())
        emit message(html);
    if (std::exchange(previewing, false) && result.outcome == TransferSession::Outcome::Done) {
        // Still busy: the question comes after the session has finished its report, since it
        // runs an event loop.
        const QList<BackupDiff::Line> lines = result.lines;
        QMetaObject::invokeMethod(
            this, [this, lines] { askToUpload(lines); }, Qt::QueuedConnection);
        return;
    }
    returnToIdle(true);
    recordSource.reset();
    if (std::exchange(comparing, false) && result.outcome == TransferSession::Outcome::Done)
        emit stationCompared(result.lines, result.serial,
                             transfers->comparedStation()->clone());
}

bool BackupTab::versionAccepted(int version)
{
    const QString stationText = versionText(quint16(version));
    emit message(QCoreApplication::translate(
                     "MainWindow",
                     "<BR><span style=\"font-weight:bold;color:#660000;\">WARNUNG! Gleistron "
                     "Manager Version veraltet!</span><BR>Datenmodell Version im Gleistron: "
                     "%1<BR>Datenmodell Version im Gleistron Manager: %2")
                     .arg(stationText, versionText(Comm2Pc::modelVersionLimit)));
    emit message(QStringLiteral("<BR><BR>"));
    const QString link =
        QLatin1String(StatusTexts::webHost) +
        QCoreApplication::translate(
            "MainWindow",
            "/index.php?show=categories&cPath=155_158&cId=158&lang=de#Gleistron Manager");
    QMessageBox box(QMessageBox::Warning, QStringLiteral("GleistronManager"),
                    QCoreApplication::translate(
                        "MainWindow",
                        "<B>Warnung!</B> <BR><BR>Ihr Gleistron verwendet eine neuere Software "
                        "Version, die eine Verwendung alter Backup Programme nicht vorsieht. Um "
                        "auch alle neuen Gleistron Features sichern zu können, verwenden Sie bitte "
                        "die aktuelle Version des Gleistron Managers. Sie finden diesen kostenlos "
                        "auf unserer <a href=\"%1\">Internet Seite</a>. <BR><BR> <span "
                        "style=\"font-weight:bold;color:#990000;font-size:120%;\">Achtung !!!! Sie "
                        "führen ein Backup mit einer veralteten Software aus. Es ist nicht "
                        "garantiert dass alle Daten gesichert oder auf den Gleistron übertragen "
                        "werden.</span> <BR><BR>  Möchten Sie trotzdem fortsetzen?")
                        .arg(link.toHtmlEscaped()),
                    QMessageBox::NoButton, window());
    box.setTextFormat(Qt::RichText);
    QPushButton *yes = addAnswer(box, Answer::Yes);
    QPushButton *cancel = addAnswer(box, Answer::Cancel);
    box.setDefaultButton(cancel);
    box.exec();
    return box.clickedButton() == yes;
}

void BackupTab::versionProblem(int version)
{
    transfers->answerVersion(versionAccepted(version));
}

void BackupTab::documentReplaced()
{
    if (transferring)
        return;
    hideProgress();
    if (chosen == Direction::Upload)
        untickAll();
}

void BackupTab::untickAll()
{
    ui->checkBox_select_all->setChecked(false);
    for (QCheckBox *box : std::as_const(setBoxes))
        box->setChecked(false);
}

void BackupTab::hideProgress()
{
    ui->progressBar_backup->setValue(0);
    ui->progressBar_backup->hide();
}

// One line for the whole document: how many sets and records, and where they came from.
QString BackupTab::documentSummary() const
{
    int sets = 0;
    int records = 0;
    for (int set = 0; set < Catalogue::DataSetCount; ++set) {
        if (!document.image.presentSets[size_t(set)])
            continue;
        ++sets;
        if (Catalogue::entry(set).statusOffset >= 0 && set != Catalogue::Lokbilder)
            records += document.image.presentRecords(set);
    }
    if (sets == 0)
        return QCoreApplication::translate("MainWindow", "Keine Daten geladen.");
    QString source;
    if (document.mixedSources()) {
        source = QCoreApplication::translate("MainWindow", "aus mehreren Quellen");
    } else {
        for (int set = 0; set < Catalogue::DataSetCount && source.isEmpty(); ++set) {
            if (document.image.presentSets[size_t(set)])
                source = Document::sourceText(document.sources[size_t(set)]);
        }
    }
    return QCoreApplication::translate("MainWindow", "%1 von %2 Bereichen, %3 Datensätze%4")
        .arg(sets)
        .arg(Catalogue::DataSetCount)
        .arg(records)
        .arg(source.isEmpty() ? QString() : QStringLiteral(" – ") + source);
}
