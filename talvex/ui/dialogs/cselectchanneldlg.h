#pragma once
// "选择通道": the channel of the field records that "导入文件夹数据" copies
// into the points ("1", "2" or "3"; the first is offered).

#include <QDialog>

class QComboBox;

namespace talvex {

class CSelectChannelDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSelectChannelDlg(QWidget *parent = nullptr);

    // 1...3: the list index + 1.
    int channel() const;

private:
    QComboBox *m_channels = nullptr;
};

} // namespace talvex
