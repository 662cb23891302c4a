// The wait window "正在采样数据。。。" shown while the card acquires: it
// stays painted and offers 取消, which stops the card.
#pragma once

#include <QDialog>

class QLabel;

namespace sedra {

class WaitDialog : public QDialog {
    Q_OBJECT
public:
    explicit WaitDialog(QWidget *parent = nullptr);
    void setText(const QString &text);

    // Esc and 取消 ask to cancel; the job's end closes the window.
    void reject() override;

signals:
    void cancelRequested();

private:
    QLabel *m_text;
};

} // namespace sedra
