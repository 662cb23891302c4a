#include "talvex/charts/viewrender.h"

#include "talvex/analysis/layervelocity.h"
#include "talvex/charts/chartstyle.h"
#include "talvex/charts/viewgeometry.h"
#include "talvex/charts/viewpainter.h"
#include "talvex/processing/editingsettings.h"
#include "talvex/processing/rawrecorddisplay.h"
#include "talvex/survey/undosnapshot.h"
#include "talvex/processing/waveformeditor.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <QPainter>
#include <cmath>

namespace talvex::charts {

namespace {

constexpr int kMaxImageSide = 32768;
constexpr qint64 kMaxImageBytes = qint64(1) << 30;

std::optional<QImage> fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return std::nullopt;
}

// The spectrum the view's spectrum command leaves for `view`'s target: the
// same editor call on a survey that holds only the current point.
FrequencyDisplay spectrumOf(const SurveyData &survey, const ViewState &view)
{
    SurveyData single;
    single.header = survey.header;
    single.points.push_back(survey.points[std::size_t(view.currentPoint - 1)]);
    ViewState pointView = view;
    pointView.mode = DisplayMode::MultiTrace;
    pointView.currentPoint = 1;
    FieldRecord record;
    UndoSnapshot undo;
    EditingSettings settings;
    WaveformEditor editor(EditorState{single, pointView, record, undo, settings});
    editor.ShowSpectrum();
    return editor.spectrum();
}

} // namespace

std::optional<QImage> renderView(const SurveyData &survey, const FieldRecord &record, const RenderOptions &options,
                                 QString *error)
{
    const int count = int(survey.points.size());
    if (count > 0 && (options.point < 1 || options.point > count))
        return fail(error, QStringLiteral("没有第 %1 个测点（本测试的测点为 1～%2）").arg(options.point).arg(count));
    if (options.trace != 0 && options.trace != 1)
        return fail(error, QStringLiteral("选中的道只能是 0（正向）或 1（反向）"));
    if (options.channel < 1 || options.channel > kRecordChannels)
        return fail(error, QStringLiteral("通道应为 1～4"));
    if (!(options.scale >= 0.05 && options.scale <= 10.0))
        return fail(error, QStringLiteral("视图比例应在 0.05～10 之间"));
    if (options.dpi < 10 || options.dpi > 1200)
        return fail(error, QStringLiteral("分辨率应在每英寸 10～1200 像素之间"));
    if (options.mode == DisplayMode::Spectrum && count == 0)
        return fail(error, QStringLiteral("本测试没有测点，没有频谱可显示"));

    ViewState view;
    view.mode = options.mode;
    view.currentPoint = count > 0 ? options.point : 1;
    view.selectedTrace = options.trace;
    view.selectedChannel = options.channel;
    view.cursorX = clampTimeCursorX(options.cursorX);
    view.depthCursor = clampDepthCursorY(survey, options.depthCursor);

    const QSize extent = sceneExtent(options.mode, count, survey.header.holeDepth);
    const double factor = options.scale * options.dpi / 100.0;
    const double width = std::ceil(extent.width() * factor);
    const double height = std::ceil(extent.height() * factor);
    if (width > kMaxImageSide || height > kMaxImageSide || width * height * 4 > double(kMaxImageBytes))
        return fail(error,
                    QStringLiteral("图片将有 %1 × %2 像素，超过每边 %3 像素或 1 GiB；请减小视图比例或分辨率")
                        .arg(width)
                        .arg(height)
                        .arg(kMaxImageSide));

    QImage image(std::max(1, int(width)), std::max(1, int(height)), QImage::Format_RGB32);
    if (image.isNull())
        return fail(error, QStringLiteral("内存不足，不能画 %1 × %2 像素的图片").arg(width).arg(height));
    image.fill(Qt::white);
    const int dotsPerMetre = int(std::lround(options.dpi / 0.0254));
    image.setDotsPerMeterX(dotsPerMetre);
    image.setDotsPerMeterY(dotsPerMetre);

    // The histogram shows the layer velocities as the view refreshes them
    // when it switches to it.
    const SurveyData *shown = &survey;
    SurveyData refreshed;
    if (options.mode == DisplayMode::VelocityHistogram && !survey.layers.empty()) {
        refreshed = survey;
        RefreshLayerVelocities(refreshed);
        shown = &refreshed;
    }
    const FrequencyDisplay spectrum
        = options.mode == DisplayMode::Spectrum ? spectrumOf(survey, view) : FrequencyDisplay{};
    const RawRecordDisplay raw;

    ensureSongFontSubstitution();
    ViewScene scene{*shown, view, record, raw, spectrum, options.curveName, options.patterns};
    QPainter painter(&image);
    painter.scale(factor, factor);
    paintScene(painter, scene, QRect(QPoint(0, 0), extent));
    paintOverlay(painter, scene);
    painter.end();
    return image;
}

} // namespace talvex::charts
