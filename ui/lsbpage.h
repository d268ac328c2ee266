#pragma once

#include "lsbupdate/lsb_updater.h"

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class LsbPage;
}
class JobHost;

// The "LSB Update" page: the firmware file and the device side by side, and the update job,
// which lives as long as the page and is restarted for every update.
class LsbPage : public QWidget
{
    Q_OBJECT
public:
    explicit LsbPage(JobHost &host, QWidget *parent = nullptr);
    ~LsbPage() override;

    LSB_Updater &job() { return *updater; }
    void chooseFile();
    void start(const QString &firmwareFile);
    bool running() const;
    void cancel();

    void deviceArrived(unsigned short address, unsigned short type, unsigned short hw,
                       unsigned short sw);
    void fileArrived(unsigned short type, unsigned short hw, unsigned short sw);
    void fileError();
    void invalidMode();
    void typeMismatch(unsigned short fileType, unsigned short deviceType);
    void confirm(unsigned short fileType, unsigned short fileSoftware, unsigned short deviceType,
                 unsigned short deviceSoftware);
    void progress(int permille);
    void finished(int bytes, int datagrams);
    void ended(LSB_Updater::Outcome outcome, int detail);

    // The form's texts in the language now installed, and the page's own over them.
    void retranslate();

signals:
    void message(const QString &html); // a console fragment

protected:
    void changeEvent(QEvent *event) override;

private:
    void connectJob();

    JobHost &host;
    std::unique_ptr<Ui::LsbPage> ui;
    std::unique_ptr<LSB_Updater> updater;
};
