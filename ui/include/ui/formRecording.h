// The recording set-up dialog: where the frames of a recording go, in which
// format, how many and how often, and the live frame rate, frame and
// capture counters and progress while it runs. It records nothing itself;
// Start and Abort are handed on as signals.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

namespace Ui {
class formRecording;
}

class formRecording : public QDialog {
    Q_OBJECT
public:
    explicit formRecording(QWidget* parent = nullptr);
    ~formRecording() override;

    // Folder and recording name joined by "/", fixed when Start is pressed;
    // empty before. Relative when the folder box is empty.
    const std::string& basePath() const { return recordingBasePath; }
    int numberOfFrames() const { return frameCount; }
    int skipFrames() const { return frameSkip; }
    bool isCsv() const { return csv; }

signals:
    void startRecording();
    void stopRecording();

public slots:
    void updateDataUi(double fps, int frameId, int captureId);
    void setProgressBar(double arg);
    void setMessageLabel(QString str);
    void enablePushButtonAbort(bool flag);

private slots:
    void on_pushButtonStart_clicked();
    void on_pushButtonAbort_clicked();
    void on_toolButtonSelectFolder_clicked();
    void on_spinBoxNumFrames_valueChanged(int arg1);
    void on_spinBoxSkipFrames_valueChanged(int arg1);

private:
    void showDocumentsFolder();
    void showFrameTotals();

    Ui::formRecording* ui;
    std::string recordingBasePath;
    int frameCount = 0;
    int frameSkip = 0;
    bool csv = false;
};
