#include "sedra/ui/hvview.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QMouseEvent>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <cmath>

namespace sedra {

namespace {

constexpr int kSideWidth = 430;
constexpr int kMargin = 8;

} // namespace

HvView::HvView(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(245, 245, 245));
    setPalette(pal);
    m_indicator = new QLabel(this);
    m_indicator->setAlignment(Qt::AlignCenter);
    m_indicator->setMinimumHeight(28);
    m_vsLabel = new QLabel(QStringLiteral("Vs (m/s)："), this);
    m_vs = new QDoubleSpinBox(this);
    m_vs->setRange(0, 5000);
    m_vs->setDecimals(0);
    m_vs->setSingleStep(10);
    m_vs->setSpecialValueText(QStringLiteral("未给"));
    m_vs->setToolTip(QStringLiteral("覆盖层剪切波速，用于硬层深度 h = Vs/(4 f0)；0 为不估算"));
    m_vsSigma = new QDoubleSpinBox(this);
    m_vsSigma->setRange(0, 2);
    m_vsSigma->setDecimals(2);
    m_vsSigma->setSingleStep(0.05);
    m_vsSigma->setPrefix(QStringLiteral("σln "));
    m_vsSigma->setToolTip(QStringLiteral("剪切波速的对数标准差"));
    connect(m_vs, &QDoubleSpinBox::valueChanged, this, [this] { velocityChanged(); });
    connect(m_vsSigma, &QDoubleSpinBox::valueChanged, this, [this] { velocityChanged(); });
    setMinimumSize(900, 560);
    resultUpdated();
}

HvView::~HvView() = default;

const HvResult &HvView::result() const
{
    return m_live ? m_live->result() : m_result;
}

HvOptions HvView::optionsWithVs(HvOptions options) const
{
    if (m_vs->value() > 0)
        options.vs = m_vs->value();
    else
        options.vs.reset();
    options.vsSigmaLn = m_vsSigma->value();
    return options;
}

QString HvView::setRecord(ThreeComponentRecord record, const HvOptions &options)
{
    m_live.reset();
    m_record = std::move(record);
    m_result = analyseHv(m_record, optionsWithVs(options));
    resultUpdated();
    return m_result.error;
}

QString HvView::startLive(double sampleInterval, const HvOptions &options)
{
    m_result = HvResult();
    m_record = ThreeComponentRecord();
    m_record.sampleInterval = sampleInterval;
    m_live = std::make_unique<HvLiveAnalysis>(sampleInterval, optionsWithVs(options));
    const QString problem = m_live->problem();
    if (!problem.isEmpty())
        m_live.reset();
    resultUpdated();
    return problem;
}

int HvView::appendLive(const ThreeComponentRecord &added)
{
    if (!m_live)
        return 0;
    const std::size_t n
        = std::min({added.components[0].size(), added.components[1].size(), added.components[2].size()});
    for (std::size_t c = 0; c < 3; ++c)
        m_record.components[c].insert(m_record.components[c].end(), added.components[c].begin(),
                                      added.components[c].begin() + std::ptrdiff_t(n));
    const int completed
        = m_live->append(std::span(added.components[0]).first(n), std::span(added.components[1]).first(n),
                         std::span(added.components[2]).first(n));
    // The traces grow with every block; the curves and tables with every window.
    resultUpdated();
    return completed;
}

void HvView::finishLive()
{
    if (!m_live)
        return;
    m_result = m_live->result();
    m_live.reset();
    resultUpdated();
}

bool HvView::dataSufficient() const
{
    return !result().windows.empty() && hvDataSufficient(result());
}

bool HvView::toggleWindow(int index)
{
    const HvResult &r = result();
    if (index < 0 || std::size_t(index) >= r.windows.size())
        return false;
    const ManualMark mark = r.windows[std::size_t(index)].used ? ManualMark::Reject : ManualMark::Keep;
    const bool done = m_live ? m_live->setManualMark(index, mark) : setManualMark(m_result, index, mark);
    if (done)
        resultUpdated();
    return done;
}

void HvView::velocityChanged()
{
    const HvOptions options = optionsWithVs(result().options);
    if (m_live)
        m_live->reevaluate(options);
    else if (m_result.ok() && !m_result.windows.empty())
        reevaluateHv(m_result, options);
    resultUpdated();
}

void HvView::resultUpdated()
{
    const bool enough = dataSufficient();
    if (enough) {
        m_indicator->setText(m_live ? QStringLiteral("数据已足够，可以结束采集")
                                    : QStringLiteral("数据已足够（SESAME 可靠性判据满足，f0 误差小于 3%）"));
        m_indicator->setStyleSheet(QStringLiteral("background:#2e8b3a; color:white; font-weight:bold;"));
    } else {
        m_indicator->setText(m_live ? QStringLiteral("数据尚不足（SESAME 可靠性判据未满足或 f0 误差大于 3%）")
                                    : QStringLiteral("数据不足（SESAME 可靠性判据未满足或 f0 误差大于 3%）"));
        m_indicator->setStyleSheet(QStringLiteral("background:#d8d8d8; color:#444;"));
    }
    update();
    emit resultChanged();
}

HvPaintStyle HvView::style() const
{
    HvPaintStyle s;
    s.font = font();
    s.lineWidth = 2;
    return s;
}

QRectF HvView::sideRect() const
{
    return QRectF(width() - kSideWidth, kMargin, kSideWidth - kMargin, height() - 2 * kMargin);
}

QRectF HvView::windowsRect() const
{
    const qreal w = width() - kSideWidth - 2 * kMargin;
    return QRectF(kMargin, kMargin, std::max<qreal>(w, 10), (height() - 2 * kMargin) * 0.34);
}

QRectF HvView::curvesRect() const
{
    const QRectF top = windowsRect();
    return QRectF(top.left(), top.bottom() + kMargin, top.width(), height() - top.bottom() - 2 * kMargin);
}

void HvView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRectF side = sideRect();
    const int x = int(side.left()), w = int(side.width());
    m_indicator->setGeometry(x, int(side.top()), w, 28);
    const int y = int(side.top()) + 34;
    const int labelWidth = m_vsLabel->sizeHint().width();
    m_vsLabel->setGeometry(x, y, labelWidth, 26);
    m_vs->setGeometry(x + labelWidth, y, (w - labelWidth) / 2 - 4, 26);
    m_vsSigma->setGeometry(x + labelWidth + (w - labelWidth) / 2, y, (w - labelWidth) / 2, 26);
}

void HvView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const HvResult &r = result();
    const HvPaintStyle s = style();
    if (m_record.components[0].empty() && r.windows.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect().adjusted(0, 0, -kSideWidth, 0), Qt::AlignCenter,
                         m_live ? QStringLiteral("正在采集，等待第一个窗口…")
                                : QStringLiteral("用“打开三分量记录…”读入记录，或开始长时间采集"));
        return;
    }
    HvPainter::drawWindows(painter, windowsRect(), m_record, r, s);
    HvPainter::drawCurves(painter, curvesRect(), r, s);
    const QRectF side = sideRect();
    qreal y = side.top() + 70;
    QStringList lines;
    if (!r.ok())
        lines << QStringLiteral("不能分析：%1").arg(r.error);
    lines << HvPainter::summaryLines(r);
    if (m_live)
        lines << QStringLiteral("已采集 %1 s").arg(m_record.duration(), 0, 'f', 0);
    // The peaks are listed on their own lines below the table, the highest
    // first as far as there is room.
    QStringList shown;
    for (const QString &l : lines)
        if (!l.startsWith(QStringLiteral("峰：")))
            shown << l;
    y += HvPainter::drawLines(painter, QRectF(side.left(), y, side.width(), side.bottom() - y), shown, s.font);
    y += 8 + HvPainter::drawSesameTable(painter, QRectF(side.left(), y + 8, side.width(), side.bottom() - y - 8), r, s);
    std::vector<HvPeak> peaks = listedPeaks(r.peaks);
    std::stable_sort(peaks.begin(), peaks.end(),
                     [](const HvPeak &a, const HvPeak &b) { return a.amplitude > b.amplitude; });
    const QFontMetricsF fm(s.font);
    const qreal lineHeight = fm.height() * 1.2;
    const int room = std::max(0, int((side.bottom() - y - 10) / lineHeight) - 1);
    QStringList peakLines{QStringLiteral("峰（按幅值；点击窗口可手动剔除或保留）：")};
    for (std::size_t i = 0; i < peaks.size() && int(i) < room; ++i) {
        const HvPeak &p = peaks[i];
        QString line = QStringLiteral("  %1 Hz  幅值 %2%3%4")
                           .arg(p.frequency, 0, 'f', 2)
                           .arg(p.amplitude, 0, 'f', 2)
                           .arg(p.isF0 ? QStringLiteral("  f0") : QString(),
                                p.industrial ? QStringLiteral("  可能为工业干扰") : QString());
        if (int(i) == room - 1 && peaks.size() > std::size_t(room))
            line = QStringLiteral("  另有 %1 个峰（见打印页）").arg(peaks.size() - i);
        peakLines << line;
    }
    if (peaks.empty())
        peakLines << QStringLiteral("  无");
    HvPainter::drawLines(painter, QRectF(side.left(), y + 10, side.width(), side.bottom() - y - 10), peakLines, s.font);
}

QString HvView::windowToolTip(int index) const
{
    const HvResult &r = result();
    if (index < 0 || std::size_t(index) >= r.windows.size())
        return {};
    const HvWindow &w = r.windows[std::size_t(index)];
    const QString reasons = rejectionText(w);
    QString text = QStringLiteral("窗口 %1（%2 s 起）：%3")
                       .arg(index)
                       .arg(w.startSeconds, 0, 'f', 1)
                       .arg(w.used ? QStringLiteral("采用") : QStringLiteral("剔除"));
    if (!reasons.isEmpty())
        text += QStringLiteral("\n") + reasons;
    if (std::isfinite(w.peak.frequency) && w.peak.valid)
        text += QStringLiteral("\n窗口峰 %1 Hz").arg(w.peak.frequency, 0, 'f', 2);
    text += w.used ? QStringLiteral("\n点击：手动剔除") : QStringLiteral("\n点击：手动保留");
    return text;
}

bool HvView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = HvPainter::windowAt(windowsRect(), style(), result(), m_record.duration(), help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), windowToolTip(index), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void HvView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int index = HvPainter::windowAt(windowsRect(), style(), result(), m_record.duration(), event->position());
    if (index >= 0)
        toggleWindow(index);
}

} // namespace sedra
