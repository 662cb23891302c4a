// Renders an SVG icon to the PNG sizes of the desktop's icon theme: for each
// SIZE, OUTDIR/<SIZE>x<SIZE>/NAME.png, transparent, antialiased. The package
// installs them under share/icons/hicolor beside the scalable SVG.
//
// Usage: iconrender ICON.svg OUTDIR NAME SIZE...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStringList>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "iconrender: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 5) {
        std::fprintf(stderr, "用法：iconrender ICON.svg OUTDIR NAME SIZE...\n");
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid())
        return fail(QStringLiteral("不能读取图标 %1").arg(args.at(1)));
    for (qsizetype i = 4; i < args.size(); ++i) {
        bool ok = false;
        const int size = args.at(i).toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "iconrender: 尺寸 %s 不在 8…1024 内\n", args.at(i).toLocal8Bit().constData());
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString folder = QDir(args.at(2)).filePath(QStringLiteral("%1x%1").arg(size));
        if (!QDir().mkpath(folder))
            return fail(QStringLiteral("不能建立文件夹 %1").arg(folder));
        const QString path = QDir(folder).filePath(args.at(3) + QStringLiteral(".png"));
        if (!image.save(path, "PNG"))
            return fail(QStringLiteral("不能写入 %1").arg(path));
    }
    return 0;
}
