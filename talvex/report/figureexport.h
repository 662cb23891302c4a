#pragma once
// The report written as bitmap figures instead of printed pages: one
// 646 x 925 pixel, 16-bit (5-5-5) BMP file per figure, named after a base
// path. Which figures are written follows the print flags:
//
//   printVelocity   base-波速直方图.bmp, base-时距曲线图.bmp,
//                   base-时距波速综合曲线图.bmp            (pages 1, 2, 3)
//   printTable      base-时距深度表.bmp                    (next page)
//   printWaveforms  base-原始波形图0.bmp, …1.bmp, …         (one page each)
//
// The base is used as given (a base ending in ".BMP" keeps that ending
// before the suffix) and may be of any length.

#include "talvex/report/reportcontext.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <vector>

namespace talvex::report {

inline constexpr int kFigureWidth = 646;
inline constexpr int kFigureHeight = 925;

enum class FigureKind { VelocityHistogram, TimeDistance, Combined, TimeDepthTable, Waveforms };

struct Figure {
    FigureKind kind = FigureKind::VelocityHistogram;
    int waveformPage = 0; // for Waveforms: index from 0 (also in the file name)
    int pageNumber = 1; // position in the set, from 1; the footer counts from firstPageNumber
    QString path;
};

// The figures of a survey of `pointCount` points, in the order written.
std::vector<Figure> figureList(const QString &base, const PrintSettings &settings, int pointCount);

// Draws `figure` on a white 646 x 925 picture: the heading with the page
// name and its rule (y 10, rule at y 30), the footer at y 915 (styles 0...3
// numbered, style 4 the signature line), and the figure's content.
QImage renderFigure(ReportContext &context, const Figure &figure);

struct FigureExportResult {
    QStringList written; // paths written, in order
    QStringList failed; // paths that could not be written
    QStringList reasons; // the system's reason for each failed path
};

// Writes every figure of figureList(base, …) through the 16-bit BMP writer
// (each exactly 1,195,154 bytes). A file that cannot be written is listed in
// `failed` and the next figure is still written; an existing file is left
// as it was when its write fails.
FigureExportResult ExportFigures(const QString &base, ReportContext &context);

} // namespace talvex::report
