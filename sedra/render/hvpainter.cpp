#include "sedra/render/hvpainter.h"

#include "sedra/render/pdfpage.h"
#include "sedra/core/hvexport.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainterPath>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>

namespace sedra {

namespace {

// Labels of a log axis: 1, 2, 5 times the powers of ten within [lo, hi].
std::vector<double> logTicks(double lo, double hi)
{
    std::vector<double> ticks;
    for (int e = int(std::floor(std::log10(lo))); e <= int(std::ceil(std::log10(hi))); ++e)
        for (double m : {1.0, 2.0, 5.0}) {
            const double v = m * std::pow(10.0, e);
            if (v >= lo * 0.999 && v <= hi * 1.001)
                ticks.push_back(v);
        }
    return ticks;
}

QString tickText(double v)
{
    return v >= 1 ? QString::number(v, 'f', 0) : QString::number(v, 'g', 2);
}

qreal labelWidth(const QFont &font)
{
    return QFontMetricsF(font).horizontalAdvance(QStringLiteral("000.0")) * 1.3;
}

} // namespace

QRectF HvPainter::windowsPlotArea(const QRectF &rect, const HvPaintStyle &style)
{
    const QFontMetricsF fm(style.font);
    return rect.adjusted(fm.horizontalAdvance(QStringLiteral("Z")) * 2.5, fm.height() * 0.4, -fm.height() * 0.4,
                         -fm.height() * 2.6);
}

int HvPainter::windowAt(const QRectF &rect, const HvPaintStyle &style, const HvResult &result, double duration,
                        const QPointF &point)
{
    const QRectF plot = windowsPlotArea(rect, style);
    if (!plot.contains(point) || !(duration > 0) || result.windows.empty())
        return -1;
    const double t = (point.x() - plot.left()) / plot.width() * duration;
    const double len = double(result.windowSamples) * result.sampleInterval;
    // With overlap, the window that starts last before t is the one picked.
    int found = -1;
    for (const HvWindow &w : result.windows)
        if (t >= w.startSeconds && t < w.startSeconds + len)
            found = w.index;
    return found;
}

void HvPainter::drawWindows(QPainter &painter, const QRectF &rect, const ThreeComponentRecord &record,
                            const HvResult &result, const HvPaintStyle &style)
{
    painter.save();
    painter.setFont(style.font);
    const QFontMetricsF fm(style.font);
    const QRectF plot = windowsPlotArea(rect, style);
    const double duration = record.duration();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(plot);
    if (duration > 0 && plot.width() > 2) {
        const auto xAt = [&](double t) { return plot.left() + t / duration * plot.width(); };
        const double len = double(result.windowSamples) * result.sampleInterval;
        // Shading first, the traces over it; a strip along the top says
        // each window's verdict where the traces cover the shading, with
        // its index where there is room.
        const qreal strip = fm.height() * 0.9;
        for (const HvWindow &w : result.windows) {
            const QRectF band(QPointF(xAt(w.startSeconds), plot.top()),
                              QPointF(xAt(std::min(duration, w.startSeconds + len)), plot.bottom()));
            painter.setPen(Qt::NoPen);
            painter.setBrush(w.used ? style.keptFill : style.rejectedFill);
            painter.drawRect(band.adjusted(0.5, 0, -0.5, 0));
            const QRectF top(band.left() + 0.5, plot.top(), std::max<qreal>(band.width() - 1, 0.5), strip);
            painter.setBrush(w.used ? QColor(80, 170, 80) : QColor(210, 60, 60));
            painter.drawRect(top);
            const QString label = QString::number(w.index);
            if (fm.horizontalAdvance(label) + 4 < top.width()) {
                painter.setPen(Qt::white);
                painter.drawText(top, Qt::AlignCenter, label);
            }
            if (w.manual != ManualMark::None) {
                painter.setBrush(Qt::NoBrush);
                painter.setPen(QPen(w.used ? QColor(0, 110, 0) : QColor(170, 0, 0), style.lineWidth, Qt::DashLine));
                painter.drawRect(band.adjusted(1, strip + 1, -1, -1));
            }
        }
        const QRectF traces = plot.adjusted(0, strip, 0, 0);
        const qreal rowHeight = traces.height() / 3.0;
        static const char16_t *const names[] = {u"N", u"E", u"Z"};
        const int columns = std::max(1, int(plot.width()));
        for (std::size_t c = 0; c < 3; ++c) {
            const std::vector<double> &v = record.components[c];
            const qreal mid = traces.top() + rowHeight * (qreal(c) + 0.5);
            painter.setPen(Qt::black);
            painter.drawText(QRectF(rect.left(), mid - fm.height() / 2, plot.left() - rect.left() - 2, fm.height()),
                             Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf16(names[c]));
            if (v.empty())
                continue;
            // Scale to the largest swing but no more than eight times the
            // RMS, so a burst does not flatten the rest of the trace.
            double sum = 0, ss = 0, peak = 0;
            for (double x : v)
                if (std::isfinite(x))
                    sum += x;
            const double meanValue = sum / double(v.size());
            for (double x : v)
                if (std::isfinite(x)) {
                    ss += (x - meanValue) * (x - meanValue);
                    peak = std::max(peak, std::fabs(x - meanValue));
                }
            const double rms = std::sqrt(ss / double(v.size()));
            const double scale = std::min(peak, 8 * rms);
            const qreal half = rowHeight * 0.36;
            const auto yOf = [&](double x) {
                const double r = scale > 0 ? std::clamp((x - meanValue) / scale, -1.0, 1.0) : 0.0;
                return mid - r * half;
            };
            // One vertical stroke per column from its lowest to its highest sample.
            QPainterPath path;
            const std::size_t total = std::min(v.size(), std::size_t(std::llround(duration / record.sampleInterval)));
            const std::size_t n = std::max<std::size_t>(total, 1);
            for (int col = 0; col < columns; ++col) {
                const std::size_t a = std::size_t(double(col) / columns * double(n));
                const std::size_t b = std::max(a + 1, std::size_t(double(col + 1) / columns * double(n)));
                double lo = 0, hi = 0;
                bool any = false;
                for (std::size_t i = a; i < b && i < v.size(); ++i)
                    if (std::isfinite(v[i])) {
                        lo = any ? std::min(lo, v[i]) : v[i];
                        hi = any ? std::max(hi, v[i]) : v[i];
                        any = true;
                    }
                if (!any)
                    continue;
                const qreal x = plot.left() + col + 0.5;
                path.moveTo(x, yOf(hi));
                path.lineTo(x, std::max(yOf(lo), yOf(hi) + 0.5));
            }
            painter.setPen(QPen(QColor(30, 30, 90, 190), std::max<qreal>(0.5, style.lineWidth * 0.5)));
            painter.setBrush(Qt::NoBrush);
            painter.drawPath(path);
        }
        // Time axis in seconds.
        painter.setPen(Qt::black);
        const double stepChoices[] = {1, 2, 5, 10, 20, 30, 60, 120, 300, 600, 900, 1800, 3600};
        double step = stepChoices[std::size(stepChoices) - 1];
        for (double s : stepChoices)
            if (duration / s <= std::max(2.0, plot.width() / (fm.horizontalAdvance(QStringLiteral("0000 s")) * 2))) {
                step = s;
                break;
            }
        for (double t = 0; t <= duration + 1e-9; t += step) {
            const qreal x = xAt(t);
            painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + fm.height() * 0.2));
            const QString label = QStringLiteral("%1").arg(t, 0, 'f', 0);
            const qreal w = fm.horizontalAdvance(label);
            painter.drawText(QPointF(std::clamp(x - w / 2, plot.left(), plot.right() - w),
                                     plot.bottom() + fm.height() * 0.2 + fm.ascent()),
                             label);
        }
        const QString unit = QStringLiteral("时间 (s)");
        painter.drawText(QPointF(plot.center().x() - fm.horizontalAdvance(unit) / 2,
                                 plot.bottom() + fm.height() * 1.3 + fm.ascent()),
                         unit);
    }
    painter.setPen(QPen(Qt::black, style.lineWidth * 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.restore();
}

void HvPainter::drawCurves(QPainter &painter, const QRectF &rect, const HvResult &result, const HvPaintStyle &style)
{
    painter.save();
    painter.setFont(style.font);
    const QFontMetricsF fm(style.font);
    const QRectF plot
        = rect.adjusted(labelWidth(style.font), fm.height() * 0.6, -fm.height() * 0.6, -fm.height() * 2.4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(plot);
    const std::vector<double> &f = result.frequencies;
    if (f.size() >= 2 && plot.width() > 2 && plot.height() > 2) {
        const double lf0 = std::log(f.front()), lf1 = std::log(f.back());
        const auto xAt = [&](double freq) { return plot.left() + (std::log(freq) - lf0) / (lf1 - lf0) * plot.width(); };
        double top = 0;
        for (std::size_t i = 0; i < result.upper.size(); ++i)
            if (std::isfinite(result.upper[i]))
                top = std::max(top, result.upper[i]);
        for (const HvWindow &w : result.windows)
            if (w.used)
                for (double v : w.hv)
                    if (std::isfinite(v))
                        top = std::max(top, std::min(v, 2 * top + 1));
        if (!(top > 0))
            top = 2;
        // A round top: 1, 2 or 5 times a power of ten, or a multiple of that.
        const double rawStep = top / 5;
        const double p10 = std::pow(10.0, std::floor(std::log10(rawStep)));
        const double yStep = rawStep / p10 <= 1 ? p10
            : rawStep / p10 <= 2                ? 2 * p10
            : rawStep / p10 <= 5                ? 5 * p10
                                                : 10 * p10;
        top = std::ceil(top * 1.05 / yStep) * yStep;
        const auto yAt = [&](double a) { return plot.bottom() - std::clamp(a / top, 0.0, 1.0) * plot.height(); };

        // Peak band outside the grid's own ends shaded.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0, 0, 0, 18));
        if (result.peakBandLow() > f.front())
            painter.drawRect(
                QRectF(QPointF(plot.left(), plot.top()), QPointF(xAt(result.peakBandLow()), plot.bottom())));
        if (result.peakBandHigh() < f.back())
            painter.drawRect(
                QRectF(QPointF(xAt(result.peakBandHigh()), plot.top()), QPointF(plot.right(), plot.bottom())));

        // Grid and labels.
        painter.setPen(QPen(QColor(220, 220, 220), 0));
        for (double t : logTicks(f.front(), f.back()))
            painter.drawLine(QPointF(xAt(t), plot.top()), QPointF(xAt(t), plot.bottom()));
        for (double a = yStep; a < top; a += yStep)
            painter.drawLine(QPointF(plot.left(), yAt(a)), QPointF(plot.right(), yAt(a)));
        painter.setPen(Qt::black);
        for (double t : logTicks(f.front(), f.back())) {
            const QString label = tickText(t);
            const qreal w = fm.horizontalAdvance(label);
            painter.drawText(QPointF(xAt(t) - w / 2, plot.bottom() + fm.ascent() + fm.height() * 0.15), label);
        }
        for (double a = 0; a <= top + yStep / 2; a += yStep) {
            const QString label = QString::number(a, 'g', 3);
            const qreal w = fm.horizontalAdvance(label);
            painter.drawText(QPointF(plot.left() - w - fm.height() * 0.25, yAt(a) + fm.ascent() / 2 - fm.descent() / 2),
                             label);
        }
        const QString xTitle = QStringLiteral("频率 (Hz)");
        painter.drawText(QPointF(plot.center().x() - fm.horizontalAdvance(xTitle) / 2,
                                 plot.bottom() + fm.height() * 1.2 + fm.ascent()),
                         xTitle);
        painter.drawText(QPointF(rect.left(), plot.top() - fm.height() * 0.4), QStringLiteral("H/V"));

        painter.setClipRect(plot);
        const auto curvePath = [&](const std::vector<double> &v) {
            QPainterPath path;
            bool open = false;
            for (std::size_t i = 0; i < f.size() && i < v.size(); ++i) {
                if (!std::isfinite(v[i])) {
                    open = false;
                    continue;
                }
                const QPointF p(xAt(f[i]), yAt(v[i]));
                if (open)
                    path.lineTo(p);
                else
                    path.moveTo(p);
                open = true;
            }
            return path;
        };
        painter.setBrush(Qt::NoBrush);
        const qreal thin = std::max<qreal>(0.5, style.lineWidth * 0.4);
        for (const HvWindow &w : result.windows)
            if (!w.used && !w.invalid) {
                painter.setPen(QPen(QColor(230, 120, 120, 110), thin));
                painter.drawPath(curvePath(w.hv));
            }
        for (const HvWindow &w : result.windows)
            if (w.used) {
                painter.setPen(QPen(QColor(150, 150, 150, 160), thin));
                painter.drawPath(curvePath(w.hv));
            }
        // f0 and its band from the windows' peaks.
        if (std::isfinite(result.f0) && result.f0 > 0) {
            const double s = result.f0Windows.sigmaLn;
            const double lo = result.f0 * std::exp(-s), hi = result.f0 * std::exp(s);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(220, 40, 40, 45));
            painter.drawRect(QRectF(QPointF(xAt(lo), plot.top()), QPointF(xAt(hi), plot.bottom())));
        }
        // The +-sigma band of the mean curve.
        if (result.lower.size() == f.size() && result.upper.size() == f.size()) {
            QPainterPath band;
            bool started = false;
            for (std::size_t i = 0; i < f.size(); ++i)
                if (std::isfinite(result.upper[i])) {
                    const QPointF p(xAt(f[i]), yAt(result.upper[i]));
                    started ? band.lineTo(p) : band.moveTo(p);
                    started = true;
                }
            for (std::size_t i = f.size(); i-- > 0;)
                if (std::isfinite(result.lower[i]))
                    band.lineTo(xAt(f[i]), yAt(result.lower[i]));
            if (started) {
                band.closeSubpath();
                painter.setPen(Qt::NoPen);
                painter.setBrush(QColor(40, 90, 200, 60));
                painter.drawPath(band);
            }
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(QColor(40, 90, 200), thin, Qt::DashLine));
            painter.drawPath(curvePath(result.lower));
            painter.drawPath(curvePath(result.upper));
        }
        painter.setPen(QPen(Qt::black, style.lineWidth));
        painter.drawPath(curvePath(result.mean));
        if (std::isfinite(result.f0) && result.f0 > 0) {
            painter.setPen(QPen(QColor(200, 0, 0), style.lineWidth * 0.8));
            painter.drawLine(QPointF(xAt(result.f0), plot.top()), QPointF(xAt(result.f0), plot.bottom()));
            const QString label = QStringLiteral("f0 = %1 Hz").arg(hvThreeFigures(result.f0));
            const qreal w = fm.horizontalAdvance(label);
            const qreal x = xAt(result.f0) + fm.height() * 0.3;
            painter.drawText(QPointF(x + w > plot.right() ? xAt(result.f0) - w - fm.height() * 0.3 : x,
                                     plot.top() + fm.ascent() + fm.height() * 0.2),
                             label);
        }
        painter.setClipping(false);
        // Legend above the plot, right-aligned.
        const QString legend = QStringLiteral("黑：平均曲线  蓝：±σ  灰：采用窗口  浅红：剔除窗口  红：f0 及其 ±σln");
        painter.setPen(QColor(80, 80, 80));
        QFont small = style.font;
        if (style.font.pixelSize() > 0)
            small.setPixelSize(std::max(1, int(style.font.pixelSize() * 0.85)));
        else if (style.font.pointSizeF() > 0)
            small.setPointSizeF(style.font.pointSizeF() * 0.85);
        painter.setFont(small);
        const QFontMetricsF sm(small);
        painter.drawText(QPointF(plot.right() - sm.horizontalAdvance(legend), plot.top() - fm.height() * 0.4), legend);
    }
    painter.setPen(QPen(Qt::black, style.lineWidth * 0.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.restore();
}

qreal HvPainter::drawSesameTable(QPainter &painter, const QRectF &rect, const HvResult &result,
                                 const HvPaintStyle &style)
{
    painter.save();
    painter.setFont(style.font);
    const QFontMetricsF fm(style.font);
    const qreal row = fm.height() * 1.25;
    const qreal valueWidth = fm.horizontalAdvance(QStringLiteral("00000.00")) * 1.1;
    const qreal markWidth = fm.horizontalAdvance(QStringLiteral("✓")) * 2;
    const qreal textWidth = std::max<qreal>(0, rect.width() - 2 * valueWidth - markWidth);
    qreal y = rect.top();
    const auto line = [&](const QString &a, const QString &b, const QString &c, const QString &d, const QColor &color,
                          bool bold) {
        QFont font = style.font;
        font.setBold(bold);
        painter.setFont(font);
        painter.setPen(Qt::black);
        const qreal base = y + (row - fm.height()) / 2 + fm.ascent();
        painter.drawText(QPointF(rect.left(), base), QFontMetricsF(font).elidedText(a, Qt::ElideRight, textWidth - 4));
        painter.drawText(QRectF(rect.left() + textWidth, y, valueWidth, row), Qt::AlignRight | Qt::AlignVCenter, b);
        painter.drawText(QRectF(rect.left() + textWidth + valueWidth, y, valueWidth, row),
                         Qt::AlignRight | Qt::AlignVCenter, c);
        painter.setPen(color);
        painter.drawText(QRectF(rect.right() - markWidth, y, markWidth, row), Qt::AlignCenter, d);
        y += row;
    };
    const QColor green(0, 130, 0), red(200, 0, 0);
    line(QStringLiteral("SESAME 判据"), QStringLiteral("值"), QStringLiteral("阈值"), QString(), Qt::black, true);
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(rect.left(), y), QPointF(rect.right(), y));
    line(QStringLiteral("可靠曲线（3 条全满足）：%1")
             .arg(result.sesame.isReliable ? QStringLiteral("可靠") : QStringLiteral("不可靠")),
         QString(), QString(), result.sesame.isReliable ? QStringLiteral("✓") : QStringLiteral("✗"),
         result.sesame.isReliable ? green : red, true);
    for (int i = 0; i < 3; ++i) {
        const SesameCheck &c = result.sesame.reliable[std::size_t(i)];
        line(QStringLiteral("%1. %2").arg(i + 1).arg(sesameCriterionText(true, i)), hvThreeFigures(c.value),
             hvThreeFigures(c.threshold), c.pass ? QStringLiteral("✓") : QStringLiteral("✗"), c.pass ? green : red,
             false);
    }
    line(QStringLiteral("清晰峰（6 条至少 5 条）：%1，满足 %2 条")
             .arg(result.sesame.isClear ? QStringLiteral("清晰") : QStringLiteral("不清晰"))
             .arg(result.sesame.clearPassed),
         QString(), QString(), result.sesame.isClear ? QStringLiteral("✓") : QStringLiteral("✗"),
         result.sesame.isClear ? green : red, true);
    for (int i = 0; i < 6; ++i) {
        const SesameCheck &c = result.sesame.clear[std::size_t(i)];
        line(QStringLiteral("%1. %2").arg(i + 1).arg(sesameCriterionText(false, i)), hvThreeFigures(c.value),
             hvThreeFigures(c.threshold), c.pass ? QStringLiteral("✓") : QStringLiteral("✗"), c.pass ? green : red,
             false);
    }
    painter.restore();
    return y - rect.top();
}

QStringList HvPainter::summaryLines(const HvResult &r)
{
    QStringList lines;
    lines << hvWindowCountLine(r, 0);
    lines << QStringLiteral("平均曲线：f0 = %1 Hz，A0 = %2，T0 = %3 s")
                 .arg(hvThreeFigures(r.f0), hvNumber(r.a0, 2), hvThreeFigures(r.t0));
    const WindowPeakStatistics &s = r.f0Windows;
    lines << QStringLiteral("窗口峰中值：f0 = %1 Hz（%2～%3），σln %4，T0 = %5 s")
                 .arg(hvThreeFigures(s.median), hvThreeFigures(s.median * std::exp(-s.sigmaLn)),
                      hvThreeFigures(s.median * std::exp(s.sigmaLn)), hvNumber(s.sigmaLn, 3),
                      hvThreeFigures(s.t0Median));
    QStringList peaks;
    for (const HvPeak &p : listedPeaks(r.peaks))
        peaks << QStringLiteral("%1 Hz（%2）%3")
                     .arg(hvThreeFigures(p.frequency), hvNumber(p.amplitude, 2),
                          p.industrial ? QStringLiteral("工业?") : QString());
    lines << QStringLiteral("峰：%1").arg(peaks.isEmpty() ? QStringLiteral("无") : peaks.join(QStringLiteral("，")));
    if (r.depth)
        lines << QStringLiteral("硬层深度 h = Vs/(4f0) = %1 m（%2～%3 m），Vs = %4 m/s")
                     .arg(hvNumber(r.depth->h, 1), hvNumber(r.depth->low, 1), hvNumber(r.depth->high, 1),
                          hvNumber(r.options.vs.value_or(0.0), 0));
    else
        lines << QStringLiteral("硬层深度：未给剪切波速 Vs");
    return lines;
}

qreal HvPainter::drawLines(QPainter &painter, const QRectF &rect, const QStringList &lines, const QFont &font)
{
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QFontMetricsF fm(font);
    qreal y = rect.top();
    for (const QString &l : lines) {
        // A line too long for the width wraps (Chinese text anywhere, the
        // rest at spaces); the lines after it move down.
        const QRectF box(rect.left(), y, rect.width(), std::max<qreal>(fm.height(), rect.bottom() - y));
        const QRectF used = painter.boundingRect(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, l);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, l);
        y += std::max(used.height(), fm.height()) + fm.height() * 0.2;
    }
    painter.restore();
    return y - rect.top();
}

void HvPainter::drawPage(QPainter &painter, const QSizeF &page, const ThreeComponentRecord &record,
                         const HvResult &result, const QString &title, qreal fontScale)
{
    HvPaintStyle style;
    style.font = QFont(QStringLiteral("宋体"));
    style.font.setPixelSize(std::max(1, int(32 * fontScale)));
    style.lineWidth = 4;
    QFont titleFont = style.font;
    titleFont.setPixelSize(std::max(1, int(56 * fontScale)));
    const qreal left = 150, right = page.width() - 150;
    painter.save();
    painter.setFont(titleFont);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(left, 120, right - left, 90), Qt::AlignHCenter | Qt::AlignVCenter,
                     title.isEmpty() ? QStringLiteral("H/V 谱比分析") : title);
    painter.restore();
    QFont info = style.font;
    const QString source = record.source.isEmpty() ? QString() : QStringLiteral("记录：%1，").arg(record.source);
    drawLines(painter, QRectF(left, 240, right - left, 60),
              {source
               + QStringLiteral("采样间隔 %1 s，时长 %2 s，窗长 %3 s，平滑 b = %4")
                     .arg(hvNumber(result.sampleInterval, 4), hvNumber(record.duration(), 0),
                          hvNumber(result.options.windowSeconds, 0), hvNumber(result.options.smoothing, 0))},
              info);
    drawWindows(painter, QRectF(left, 310, right - left, 600), record, result, style);
    drawCurves(painter, QRectF(left, 930, right - left, 1000), result, style);
    const qreal tableTop = 1960;
    const qreal table = drawSesameTable(painter, QRectF(left, tableTop, right - left, 560), result, style);
    drawLines(painter, QRectF(left, tableTop + table + 40, right - left, page.height() - 100 - tableTop - table - 40),
              summaryLines(result), style.font);
}

void HvPainter::draw(QPainter &painter, QPagedPaintDevice &device, const ThreeComponentRecord &record,
                     const HvResult &result, const QString &title)
{
    const QSizeF mm = device.pageLayout().paintRect(QPageLayout::Millimeter).size();
    const QSizeF page(mm.width() * 10, mm.height() * 10);
    painter.setWindow(QRect(0, 0, int(page.width()), int(page.height())));
    painter.setViewport(QRect(0, 0, device.width(), device.height()));
    const qreal ratio = device.logicalDpiX() > 0 ? qreal(device.logicalDpiY()) / device.logicalDpiX() : 1.0;
    drawPage(painter, page, record, result, title, ratio);
}

bool HvPainter::writePdf(const ThreeComponentRecord &record, const HvResult &result, const QString &title,
                         const QString &path, QString *error)
{
    return writeA4Pdf(
        path, title.isEmpty() ? QStringLiteral("H/V") : title,
        [&](QPainter &painter, QPagedPaintDevice &device) { draw(painter, device, record, result, title); }, error);
}

} // namespace sedra
