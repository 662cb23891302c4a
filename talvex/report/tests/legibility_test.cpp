// What a client reads on the printed pages: labels of thin layers apart,
// long names and headings printed whole, waveform labels inside their rows.
// The pages are painted on a device that records every text with its box.

#include "common/fixedtext.h"
#include "common/gbk.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/surveydata.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <gtest/gtest.h>

#include <memory>

using namespace talvex;
using namespace talvex::report;

namespace {

struct TextBox {
    QString text;
    QRectF box; // page units (0.01 mm)
};

// Records the text items drawn, in device coordinates; draws nothing else.
class TextRecorder : public QPaintEngine {
public:
    TextRecorder() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QRectF box(p.x(), p.y() - item.ascent(), item.width(), item.ascent() + item.descent());
        texts.push_back({item.text(), painter()->combinedTransform().mapRect(box)});
    }
    Type type() const override { return QPaintEngine::User; }

    std::vector<TextBox> texts;
};

// An A4 page at 2540 dots per inch: one device unit is 0.01 mm, as the
// report's own units.
class TextPage : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return 21000;
        case PdmHeight: return 29700;
        case PdmWidthMM: return 210;
        case PdmHeightMM: return 297;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 2540;
        case PdmDepth: return 32;
        case PdmNumColors: return 1 << 24;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }
    mutable TextRecorder engine;
};

constexpr QSizeF kA4Printable(190.0, 277.0);

// The texts of page `index` of `survey`'s report.
std::vector<TextBox> pageTexts(SurveyData &survey, const PrintSettings &settings, int index)
{
    TextPage page;
    QPainter painter(&page);
    ReportContext context{survey, settings, 1, nullptr, {}};
    EXPECT_TRUE(paintReportPage(painter, context, index, kA4Printable));
    painter.end();
    return page.engine.texts;
}

std::vector<TextBox> withText(const std::vector<TextBox> &texts, const QString &text)
{
    std::vector<TextBox> found;
    for (const TextBox &t : texts)
        if (t.text == text)
            found.push_back(t);
    return found;
}

DiChengOne layer(float top, float bottom, float velocity = 0.0f)
{
    DiChengOne l;
    l.top = top;
    l.bottom = bottom;
    l.velocity = velocity;
    return l;
}

// A 60 m hole, one point a metre, with thin survey-log and velocity layers
// at the top and around 30 m.
SurveyData thinLayers()
{
    SurveyData survey;
    survey.header.holeDepth = 60.0f;
    for (int d = 1; d <= 60; ++d) {
        TlvOne point = TlvOne::newPoint(1.5f);
        point.depth = float(d);
        point.interval = 50.0f;
        point.sArrival = std::int16_t(100 + 4 * d);
        point.pointVelocity = 200.0f;
        survey.points.push_back(point);
    }
    survey.logLayers = {layer(0, 0.3f), layer(0.3f, 29), layer(29, 29.5f), layer(29.5f, 30), layer(30, 60)};
    survey.layers = {layer(0, 29, 180.0f), layer(29, 29.5f, 91.5f), layer(29.5f, 30, 60.2f), layer(30, 60, 300.0f)};
    return survey;
}

} // namespace

TEST(ReportLegibility, LabelsOfThinLayersDoNotPrintOverEachOtherOrTheHeading)
{
    SurveyData survey = thinLayers();
    PrintSettings settings;
    settings.printWaveforms = 0;
    settings.printTable = 0;
    for (int page = 1; page <= 2; ++page) {
        const std::vector<TextBox> texts = pageTexts(survey, settings, page);
        // The labels of the layers around 30 m: bottom depths and velocities.
        std::vector<TextBox> labels;
        for (const char *text : {"0.3", "29.0", "29.5", "30.0", "91.5", "60.2", "180.0"})
            for (const TextBox &t : withText(texts, QString::fromLatin1(text)))
                labels.push_back(t);
        ASSERT_GE(labels.size(), 7u) << "page " << page;
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                EXPECT_FALSE(labels[i].box.intersects(labels[j].box))
                    << "page " << page << ": " << labels[i].text.toStdString() << " over "
                    << labels[j].text.toStdString();
        // Nothing of the column table prints over its own headings.
        for (const char *heading : {"底层深", "层波速"}) {
            const std::vector<TextBox> found = withText(texts, QString::fromUtf8(heading));
            ASSERT_EQ(found.size(), 1u);
            for (const TextBox &t : texts) {
                if (t.text != found[0].text) {
                    EXPECT_FALSE(t.box.intersects(found[0].box))
                        << t.text.toStdString() << " over " << heading << " on page " << page;
                }
            }
        }
    }
}

TEST(ReportLegibility, LongNamesAndHeadingsPrintWholeOnTheSheet)
{
    SurveyData survey = thinLayers();
    // 40 Chinese characters: the whole 80-byte field.
    const QString project
        = QString::fromUtf8("深圳市南山区科技园北区某某大型综合商业办公楼及地下停车场岩土工程详细勘察波速测试项目");
    const QString name = project.left(40);
    const QByteArray bytes = *common::encodeGbk(name);
    ASSERT_EQ(bytes.size(), 80);
    common::storeFixedText(survey.header.projectName, std::string_view(bytes.constData(), std::size_t(bytes.size())));
    PrintSettings settings;
    settings.printWaveforms = 0;
    settings.printTable = 0;
    settings.headerText = QString::fromUtf8(
        "某某市轨道交通十五号线工程第三标段土建施工详细勘察钻孔剪切波速测试成果附图某某孔号第一册补充测试资料汇编附件");
    ASSERT_GE(settings.headerText.size(), 52);
    const std::vector<TextBox> texts = pageTexts(survey, settings, 1);
    // Whole, on one line or on two.
    QString printed;
    for (const TextBox &t : texts)
        if (name.startsWith(t.text) || (!printed.isEmpty() && name.endsWith(t.text)))
            printed += t.text;
    EXPECT_EQ(printed, name) << "the project name is cut";
    bool headingWhole = false;
    for (const TextBox &t : texts) {
        EXPECT_FALSE(t.text.contains(QChar(0x2026))) << t.text.toStdString();
        if (t.text.startsWith(settings.headerText)) {
            headingWhole = true;
            EXPECT_GE(t.box.left(), 1600 - 1) << "heading starts off the sheet";
            EXPECT_LE(t.box.right(), 1600 + 16600 + 1) << "heading runs off the sheet";
        }
    }
    EXPECT_TRUE(headingWhole);
}

TEST(ReportLegibility, WaveformLabelsStayInTheirRowsAtFiftyRows)
{
    SurveyData survey = thinLayers();
    PrintSettings settings;
    settings.printVelocity = 0;
    settings.printTable = 0;
    settings.rowsPerPage = 50;
    settings.columnsPerPage = 1;
    const std::vector<TextBox> texts = pageTexts(survey, settings, 1);
    const std::vector<TextBox> first = withText(texts, QStringLiteral("1.0m"));
    const std::vector<TextBox> second = withText(texts, QStringLiteral("2.0m"));
    ASSERT_EQ(first.size(), 1u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_FALSE(first[0].box.intersects(second[0].box));
    // Below every text of the heading table above the grid.
    for (const TextBox &t : texts) {
        if (t.text == QString::fromUtf8("工程名称") || t.text == QString::fromUtf8("测孔编号")) {
            EXPECT_GE(first[0].box.top(), t.box.bottom()) << t.text.toStdString();
        }
    }
}
