// The wait window "正在采样数据。。。" shown while the card acquires: it
// stays painted, shows how many samples are in and about how long the rest
// takes, and offers 取消, which stops the card.
#pragma once

#include <QDialog>

#include <chrono>

class QLabel;
class QProgressBar;

namespace sedra {

class WaitDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaitDialog(QWidget *parent = nullptr);
    void setText(const QString &text);
    // `read` of `total` samples per channel are in, `left` is the time the
    // rest needs.
    void setProgress(int read, int total, std::chrono::milliseconds left);
    QProgressBar *progressBar() const { return m_bar; }
    QString progressText() const;

    // "12 秒", "4 分 28 秒": a duration as the window shows it, rounded up
    // to whole seconds.
    static QString durationText(std::chrono::milliseconds duration);

    // Esc and 取消 ask to cancel; the job's end closes the window.
    void reject() override;

signals:
    void cancelRequested();

private:
    QLabel *m_text;
    QProgressBar *m_bar;
    QLabel *m_progress;
};

} // namespace sedra
