#include "talvex/ui/dialogs/intervalreviewdialog.h"

#include "talvex/analysis/intervalcheck.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace talvex {

namespace {

QString ms(double value)
{
    return QString::number(value, 'f', 3);
}

// The point a flagged pair asks to review: the one the check names (the
// lower one when it names both).
int reviewPoint(const IntervalCheck &check, const IntervalPair &pair)
{
    const auto flagged = [&](int index) {
        return std::size_t(index) < check.flaggedPoints.size() && check.flaggedPoints[std::size_t(index)];
    };
    return (flagged(pair.upper) && !flagged(pair.lower) ? pair.upper : pair.lower) + 1;
}

} // namespace

QString IntervalReviewDialog::summaryText(const IntervalCheck &check)
{
    const int compared
        = int(std::count_if(check.pairs.begin(), check.pairs.end(), [](const IntervalPair &p) { return p.compared; }));
    const int notCompared = int(check.pairs.size()) - compared;
    QString text;
    if (check.flaggedPairCount() == 0) {
        text = QString::fromUtf8("%1 对相邻测点，没有拾取与波形相关不一致的测点").arg(check.pairs.size());
    } else {
        QStringList points;
        for (std::size_t i = 0; i < check.flaggedPoints.size(); ++i) {
            if (check.flaggedPoints[i])
                points << QString::number(i + 1);
        }
        text = QString::fromUtf8("%1 对相邻测点中 %2 对不一致，请复核测点 %3")
                   .arg(check.pairs.size())
                   .arg(check.flaggedPairCount())
                   .arg(points.join(QString::fromUtf8("、")));
    }
    if (notCompared > 0)
        text += QString::fromUtf8("\n%1 对未作比较（有测点未拾取、波形不相似或不能对比）").arg(notCompared);
    return text;
}

IntervalReviewDialog::IntervalReviewDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("层间时间检查"));
    setModal(false);
    const QStringList headers{QString::fromUtf8("测点"),     QString::fromUtf8("深度(m)"),
                              QString::fromUtf8("拾取(ms)"), QString::fromUtf8("相关(ms)"),
                              QString::fromUtf8("差(ms)"),   QString::fromUtf8("允许(ms)"),
                              QString::fromUtf8("相关系数"), QString::fromUtf8("复核测点")};
    m_table = new QTableWidget(0, int(headers.size()), this);
    m_table->setObjectName(QStringLiteral("pairs"));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_table, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (row >= 0 && std::size_t(row) < m_rowPoints.size())
            emit pointChosen(m_rowPoints[std::size_t(row)]);
    });

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    auto *hint = new QLabel(QString::fromUtf8("单击一行转到该测点。拾取的层间时间与相邻测点 S 波互相关得到的相差超过"
                                              "两测点拾取的不确定度时列出。"),
                            this);
    hint->setWordWrap(true);

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("关闭"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &IntervalReviewDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(m_summary);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(640, 320);
}

void IntervalReviewDialog::setCheck(const IntervalCheck &check)
{
    m_rowPoints.clear();
    m_table->setRowCount(0);
    for (const IntervalPair &pair : check.pairs) {
        if (!pair.flagged)
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const int point = reviewPoint(check, pair);
        m_rowPoints.push_back(point);
        const QStringList cells{
            QStringLiteral("%1-%2").arg(pair.upper + 1).arg(pair.lower + 1),
            QStringLiteral("%1-%2").arg(double(pair.upperDepth), 0, 'f', 2).arg(double(pair.lowerDepth), 0, 'f', 2),
            ms(pair.pickedMs),
            ms(pair.correlatedMs),
            ms(pair.differenceMs),
            ms(pair.toleranceMs),
            QString::number(pair.coefficient, 'f', 2),
            QString::number(point)};
        for (int column = 0; column < int(cells.size()); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    m_summary->setText(summaryText(check));
}

} // namespace talvex
