#include "talvex/charts/soilpatterns.h"

#include "common/messenger.h"
#include "talvex/analysis/soilpatterns.h"
#include "talvex/charts/patternpictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <array>
#include <mutex>

namespace talvex::charts {

namespace {

QImage toPatternPicture(const QImage &image)
{
    QImage sized = image.size() == QSize(kPatternWidth, kPatternHeight)
        ? image
        : image.scaled(kPatternWidth, kPatternHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage picture(kPatternWidth, kPatternHeight, QImage::Format_Mono);
    picture.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const QImage rgb = sized.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < kPatternHeight; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < kPatternWidth; ++x)
            picture.setPixel(x, y, qGray(line[x]) < 128 ? 1 : 0);
    }
    return picture;
}

} // namespace

QImage builtInSoilPattern(int code)
{
    if (code < 1 || code > kLastBuiltInPattern)
        return {};
    static std::array<QImage, kLastBuiltInPattern + 1> pictures;
    static std::array<std::once_flag, kLastBuiltInPattern + 1> drawn;
    std::call_once(drawn[std::size_t(code)], [code] { pictures[std::size_t(code)] = drawBuiltInPattern(code); });
    return pictures[std::size_t(code)];
}

QString userPatternPath(const QString &programFolder, int code)
{
    static const char *const numbers[] = {"一", "二", "三", "四", "五"};
    if (code < kFirstUserPattern || code > kLastUserPattern)
        return {};
    const QString name = QStringLiteral("自定义地质图例") + QString::fromUtf8(numbers[code - kFirstUserPattern]);
    return QDir(programFolder).filePath(QStringLiteral("自定义地质图例/") + name + QStringLiteral(".bmp"));
}

QImage LoadUserPattern(int code, const QString &programFolder, common::Messenger &messenger)
{
    const QString path = userPatternPath(programFolder, code);
    if (path.isEmpty())
        return {};
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        messenger.show(QStringLiteral("图片文件 ") + shown
                           + QStringLiteral(" 不存在，请将此文件拷贝到指定的子目录或者重新执行一遍安装程序！"),
                       common::MessageKind::Warning);
        return {};
    }
    QImageReader reader(path);
    // A pattern is a small picture; refuse huge or hostile headers before decoding.
    reader.setAllocationLimit(64);
    const QImage image = reader.read();
    if (image.isNull() || image.width() <= 0 || image.height() <= 0) {
        messenger.show(QStringLiteral("文件 ") + shown + QStringLiteral(" 读取失败"), common::MessageKind::Warning);
        return {};
    }
    return toPatternPicture(image);
}

SoilPatternSet::SoilPatternSet(QString programFolder, common::Messenger *messenger)
    : m_folder(std::move(programFolder)), m_messenger(messenger)
{
}

QImage SoilPatternSet::pattern(int code)
{
    if (code >= 1 && code <= kLastBuiltInPattern)
        return builtInSoilPattern(code);
    if (code < kFirstUserPattern || code > kLastUserPattern)
        return {};
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_user.find(code); found != m_user.end())
        return found->second;
    if (m_failed.count(code))
        return {};
    common::RecordingMessenger silent;
    common::Messenger &messenger = m_messenger ? *m_messenger : silent;
    QImage picture = LoadUserPattern(code, m_folder, messenger);
    if (picture.isNull()) {
        m_failed.insert(code);
        return {};
    }
    m_user.emplace(code, picture);
    return picture;
}

void SoilPatternSet::setMessenger(common::Messenger *messenger)
{
    const std::lock_guard lock(m_mutex);
    m_messenger = messenger;
}

void SoilPatternSet::reload()
{
    const std::lock_guard lock(m_mutex);
    m_user.clear();
    m_failed.clear();
}

SoilPatternSet &programSoilPatterns()
{
    static SoilPatternSet set(QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                           : QDir::currentPath());
    return set;
}

QImage soilPattern(int code)
{
    return programSoilPatterns().pattern(code);
}

void FillPattern(QPainter &painter, PatternOutput output, int left, int top, int bottom, const QImage &pattern)
{
    if (pattern.isNull() || bottom <= top)
        return;
    int cellX = left + 1;
    int tileW = 98;
    int tileH = 67;
    int lastExtra = 0;
    switch (output) {
    case PatternOutput::Screen: break;
    case PatternOutput::Bitmap:
        tileW = 58;
        tileH = 40;
        lastExtra = 1;
        break;
    case PatternOutput::Print:
        cellX = left + 15;
        tileW = 1470;
        tileH = 1000;
        lastExtra = 15;
        break;
    }
    const QRect whole(0, 0, pattern.width(), pattern.height());
    // A picture shrunk on screen keeps its thin lines when averaged; one
    // enlarged for print stays sharp when its pixels are simply repeated.
    painter.save();
    const bool shrunk = painter.transform().mapRect(QRectF(0, 0, tileW, tileH)).width() < pattern.width();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, shrunk);
    // Only the tiles on the device are drawn: a cell may be very long.
    QRectF window(-1.0e9, -1.0e9, 2.0e9, 2.0e9);
    if (const QPaintDevice *device = painter.device(); device && painter.transform().isInvertible())
        window = painter.transform().inverted().mapRect(QRectF(0, 0, device->width(), device->height()));
    int y = top;
    if (window.top() > top)
        y = top + int(std::min((window.top() - top) / tileH, double(bottom - top) / tileH)) * tileH;
    for (; y + tileH <= bottom; y += tileH) {
        if (y > window.bottom()) {
            painter.restore();
            return;
        }
        painter.drawImage(QRect(cellX, y, tileW, tileH), pattern, whole);
    }
    // The last tile shows the upper part of the picture in proportion to its
    // height, so the pattern keeps its size instead of being squeezed.
    const int rest = (bottom - top) % tileH + lastExtra;
    if (rest > 0 && y < bottom) {
        const int height = std::min(rest, bottom - y + lastExtra);
        const int sourceHeight = std::max(1, int(double(height) * pattern.height() / tileH));
        painter.drawImage(QRect(cellX, y, tileW, height), pattern, QRect(0, 0, pattern.width(), sourceHeight));
    }
    painter.restore();
}

} // namespace talvex::charts
