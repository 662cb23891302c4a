// talvex-cli render: what the main view shows in one display mode, drawn by
// the same painting code as the window into a PNG file.

#include "common/fileio.h"
#include "common/messenger.h"
#include "talvex/charts/viewrender.h"
#include "common/cli/command.h"
#include "talvex/cli/commands.h"
#include "records/fieldrecord.h"
#include "talvex/survey/surveydata.h"

#include <QBuffer>
#include <QImageWriter>

using namespace talvex;

namespace cli {

namespace {

int runRender(const Args &args)
{
    const QString path = args.word(0, QStringLiteral("测试文件 FILE.qsw"));
    const QString out = args.word(1, QStringLiteral("输出图片 OUT.png"));
    if (!out.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        throw Failure(QStringLiteral("输出图片的名称应以 .png 结尾：%1").arg(out), kExitUsage);
    const auto mode = args.integerIn(QStringLiteral("mode"), 0, 5);
    if (!mode)
        throw Failure(QStringLiteral("缺少选项 --mode（0～5）"), kExitUsage);

    charts::RenderOptions options;
    options.mode = DisplayMode(*mode);
    options.point = args.integer(QStringLiteral("point")).value_or(options.point);
    if (const auto trace
        = args.choice(QStringLiteral("trace"), {QStringLiteral("positive"), QStringLiteral("negative")}))
        options.trace = *trace == QStringLiteral("positive") ? 0 : 1;
    options.channel = args.integerIn(QStringLiteral("channel"), 1, kRecordChannels).value_or(options.channel);
    options.cursorX = args.integer(QStringLiteral("cursor")).value_or(options.cursorX);
    options.depthCursor = args.integer(QStringLiteral("depth-cursor")).value_or(options.depthCursor);
    if (const auto s = args.number(QStringLiteral("scale"))) {
        if (!(*s >= 0.05f && *s <= 10.0f))
            throw Failure(QStringLiteral("--scale 应在 0.05～10 之间，不能是 %1").arg(number(*s)), kExitUsage);
        options.scale = *s;
    }
    options.dpi = args.integerIn(QStringLiteral("dpi"), 10, 1200).value_or(options.dpi);

    common::ConsoleMessenger messenger;
    SurveyData survey;
    loadSurveyOrFail(survey, path, messenger);
    if (!survey.points.empty() && *mode != int(DisplayMode::RawRecord))
        requirePoint(options.point, survey.points.size());
    FieldRecord record;
    if (args.has(QStringLiteral("record"))) {
        QString error;
        if (!LoadFieldRecord(args.nativeValue(QStringLiteral("record")), *args.text(QStringLiteral("record")), record,
                             &error))
            throw Failure(error);
    }

    QString error;
    const std::optional<QImage> image = charts::renderView(survey, record, options, &error);
    if (!image)
        throw Failure(QStringLiteral("不能绘制：%1").arg(error));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(*image))
        throw Failure(QStringLiteral("不能编码 PNG 图片：%1").arg(writer.errorString()));
    const common::FileError e = common::writeFileAtomically(out, png);
    if (!e.ok)
        throw Failure(QStringLiteral("不能写出 %1：%2").arg(out, e.message));
    printLine(QStringLiteral("已写出 %1（%2 × %3 像素）").arg(out).arg(image->width()).arg(image->height()));
    return 0;
}

} // namespace

void addRenderCommands(std::vector<Command> &commands)
{
    commands.push_back(
        {QStringLiteral("render"),
         QStringLiteral("render FILE.qsw OUT.png --mode 0..5 [--point K] [--trace positive|negative] [--channel C] "
                        "[--cursor X] [--depth-cursor Y] [--scale S] [--dpi D] [--record FILE.cwd]"),
         QStringLiteral("把主视图在一种显示方式下的整个画面画成 PNG 图片（不改动测试文件）"),
         QStringLiteral(
             "显示方式：0 多道波形，1 单道波形，2 原始数据（--record 的通道），3 波速直方图，4 频谱，5 时距曲线。\n"
             "坐标为视图的逻辑单位：比例 1、100 dpi 时一个单位一个像素。"),
         {{QStringLiteral("mode"), QStringLiteral("0..5"), QStringLiteral("显示方式（必需）")},
          {QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("当前测点序号，从 1 起；默认 1")},
          {QStringLiteral("trace"), QStringLiteral("positive|negative"),
           QStringLiteral("选中的道：正向或反向；默认 positive")},
          {QStringLiteral("channel"), QStringLiteral("C"), QStringLiteral("原始数据方式选中的通道 1～4；默认 1")},
          {QStringLiteral("cursor"), QStringLiteral("X"),
           QStringLiteral("时间光标的 x（逻辑单位，采样点 = X - 100，按视图的范围限制）；默认 200")},
          {QStringLiteral("depth-cursor"), QStringLiteral("Y"),
           QStringLiteral("直方图深度光标的 y（逻辑单位，深度 = (Y - 100) / 50 米）；默认 102")},
          {QStringLiteral("scale"), QStringLiteral("S"), QStringLiteral("视图比例 0.05～10；默认 1")},
          {QStringLiteral("dpi"), QStringLiteral("D"), QStringLiteral("图片分辨率，每英寸像素 10～1200；默认 100")},
          {QStringLiteral("record"), QStringLiteral("FILE.cwd"),
           QStringLiteral("原始数据方式显示的现场数据文件；默认无")}},
         2,
         2,
         runRender,
         /*needsGui=*/true});
}

} // namespace cli
