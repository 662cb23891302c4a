#include "talvex/survey/exports.h"

#include "common/fixedtext.h"
#include "common/numberformat.h"
#include "talvex/survey/surveydata.h"

#include <QStringEncoder>
#include <charconv>

namespace talvex {

namespace {

// The heading texts as GBK bytes (the source is UTF-8).
QByteArray gbk(const char *utf8)
{
    // These fixed texts are all representable in GBK.
    QStringEncoder encoder("GBK");
    return encoder.encode(QString::fromUtf8(utf8));
}

void appendSamples(QByteArray &out, const Trace &trace)
{
    char buf[16];
    for (const std::int16_t v : trace) {
        const auto r = std::to_chars(buf, buf + sizeof buf, int(v));
        out.append(buf, r.ptr - buf);
        out.append(',');
    }
    out.append("\r\n");
}

void appendField(QByteArray &out, const std::string &text, bool last = false)
{
    out.append(text.data(), qsizetype(text.size()));
    out.append(last ? "\r\n" : "\t");
}

common::FileError writeWithExtension(const QByteArray &content, const QString &chosenPath, const char *extension,
                                     QString *written)
{
    const QString path = chosenPath + QLatin1String(extension);
    if (written)
        *written = path;
    return common::writeFileAtomically(path, content);
}

} // namespace

QByteArray waveformText(const SurveyData &survey)
{
    QByteArray out = gbk("数据格式为：第一米正向波形数据，第一米负向波形数据，......，每个波形长度都是1024个数据\r\n");
    out.reserve(out.size() + qsizetype(survey.points.size()) * 2 * 1024 * 7);
    for (const TlvOne &pt : survey.points) {
        appendSamples(out, pt.positive);
        appendSamples(out, pt.negative);
    }
    return out;
}

QByteArray pointVelocityTable(const SurveyData &survey)
{
    QByteArray out = gbk("测点深度(米)\t留空\t留空\t波初至时(毫秒)\t等效波速(米/秒)\t测点波速(米/秒)\r\n");
    for (const TlvOne &pt : survey.points) {
        appendField(out, common::formatFixed(pt.depth, 1));
        appendField(out, {});
        appendField(out, {});
        appendField(out, common::formatFixed(pt.travelTime(), 2));
        appendField(out, common::formatFixed(pt.equivVelocity, 2));
        appendField(out, common::formatFixed(pt.pointVelocity, 2), true);
    }
    return out;
}

QByteArray layerVelocityTable(const SurveyData &survey)
{
    QByteArray out = gbk("土层\t分层开始(米)\t分层结束(米)\t层波速(米/秒)\t层描述\r\n");
    int number = 0;
    for (const DiChengOne &layer : survey.layers) {
        appendField(out, std::to_string(++number));
        appendField(out, common::formatFixed(layer.top, 2));
        appendField(out, common::formatFixed(layer.bottom, 2));
        appendField(out, common::formatFixed(layer.velocity, 1));
        appendField(out, common::readFixedText(layer.description), true);
    }
    return out;
}

common::FileError ExportWaveforms(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeWithExtension(waveformText(survey), chosenPath, ".txt", written);
}

common::FileError ExportPointTable(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeWithExtension(pointVelocityTable(survey), chosenPath, ".xls", written);
}

common::FileError ExportLayerTable(const SurveyData &survey, const QString &chosenPath, QString *written)
{
    return writeWithExtension(layerVelocityTable(survey), chosenPath, ".xls", written);
}

} // namespace talvex
