#pragma once
// "层间时间检查": the pairs of neighbouring points whose picked interval time
// the waveforms contradict (CheckIntervals), one row each with the depths,
// both interval times, their difference, the tolerance, the correlation and
// the point to review. Clicking a row asks for that point (pointChosen);
// the window makes it current. Not modal: it stays open while the picks
// are corrected, and the window gives it the check again after each change.
// Shows only; changes nothing.

#include <QDialog>
#include <vector>

class QLabel;
class QTableWidget;

namespace talvex {

struct IntervalCheck;

class IntervalReviewDialog : public QDialog {
    Q_OBJECT
public:
    explicit IntervalReviewDialog(QWidget *parent = nullptr);

    // Lists the flagged pairs of `check`.
    void setCheck(const IntervalCheck &check);

    // The line under the list, e.g. "19 对相邻测点中 2 对不一致，请复核测点 5".
    static QString summaryText(const IntervalCheck &check);

signals:
    // A row was clicked: the point (1-based) to review.
    void pointChosen(int point);

private:
    QTableWidget *m_table = nullptr;
    QLabel *m_summary = nullptr;
    std::vector<int> m_rowPoints; // the point each row asks for
};

} // namespace talvex
