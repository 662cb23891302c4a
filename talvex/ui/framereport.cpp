// The analysis window's report and tables: 页面设置, 打印, 打印预览, 打印设置,
// the bitmap figures, the PDF report and the exported point, layer and
// waveform tables.

#include "common/messenger.h"
#include "talvex/document/surveydocument.h"
#include "talvex/report/figureexport.h"
#include "talvex/report/pdfreport.h"
#include "talvex/report/reportpages.h"
#include "talvex/report/reportpainter.h"
#include "talvex/survey/exports.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/dialogs/csetuppagedialog.h"
#include "talvex/ui/dialogs/filedialogs.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QDir>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace talvex {

void CMainFrame::exportTable(CommandId id)
{
    const FileDialogKind kind = id == CommandId::ExportPointTable ? FileDialogKind::ExportPointTable
        : id == CommandId::ExportLayerTable                       ? FileDialogKind::ExportLayerTable
                                                                  : FileDialogKind::ExportWaveforms;
    const QString chosen = chooseFile(kind, offeredFileName(kind, m_document.survey()));
    if (chosen.isEmpty())
        return;
    const SurveyData &survey = m_document.survey();
    QString written;
    const ExportKind what = id == CommandId::ExportPointTable ? ExportKind::Points
        : id == CommandId::ExportLayerTable                   ? ExportKind::Layers
                                                              : ExportKind::Waveforms;
    // The name's extension picks the form: .xlsx or .csv, else the program's own.
    const common::FileError result = writeExport(what, exportFormatOfName(chosen), survey, chosen, &written);
    if (!result.ok)
        m_messenger->show(QString::fromUtf8("不能写入文件 %1：%2")
                              .arg(QDir::toNativeSeparators(written.isEmpty() ? chosen : written), result.message),
                          common::MessageKind::Error);
}

// ---------------------------------------------------------------------------
// The report

namespace {

const char *const kNoPagesMessage = "页面设置中没有选择要打印的内容。";

// At most this many file names are listed in one message.
constexpr int kListedFiles = 8;

QString fileList(const QStringList &paths)
{
    QStringList shown;
    for (const QString &path : paths.mid(0, kListedFiles))
        shown.append(QDir::toNativeSeparators(path));
    if (paths.size() > kListedFiles)
        shown.append(QString::fromUtf8("……（共 %1 个文件）").arg(paths.size()));
    return shown.join(QLatin1Char('\n'));
}

// The report of the open survey with the view's page setup; the program's
// own soil patterns, whose messages reach the user like the view's.
report::ReportContext reportContext(SurveyDocument &document, const PrintSettings &settings)
{
    return report::ReportContext{document.survey(), settings, document.survey().header.personnelLabel, nullptr, {}};
}

} // namespace

QPrinter &CMainFrame::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool CMainFrame::reportHasPages()
{
    if (!report::reportPages(m_view->printSettings(), int(m_document.survey().points.size())).empty())
        return true;
    m_messenger->show(QString::fromUtf8(kNoPagesMessage), common::MessageKind::Warning);
    return false;
}

void CMainFrame::pageSetup()
{
    CSetupPageDialog dialog(m_view->printSettings(), this);
    if (dialog.exec() == QDialog::Accepted)
        m_view->setPrintSettings(dialog.settings());
}

void CMainFrame::printReport()
{
    if (!reportHasPages())
        return;
    const int pages = int(report::reportPages(m_view->printSettings(), int(m_document.survey().points.size())).size());
    QPrinter &target = printer();
    QPrintDialog dialog(&target, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setMinMax(1, pages);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int from = 1;
    int to = 0; // the last page
    if (target.printRange() == QPrinter::PageRange && target.fromPage() > 0) {
        from = target.fromPage();
        to = target.toPage();
    }
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    QString error;
    if (!report::paintReport(target, context, from, to, &error))
        m_messenger->show(QString::fromUtf8("打印失败：%1").arg(error), common::MessageKind::Error);
}

void CMainFrame::previewReport()
{
    if (!reportHasPages())
        return;
    QPrintPreviewDialog dialog(&printer(), this);
    dialog.setWindowTitle(QString::fromUtf8("打印预览"));
    // The preview is modal: the survey cannot change while it repaints, so
    // one context (and its site classes) serves every repaint.
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [&context](QPrinter *target) { report::paintReport(*target, context); });
    dialog.resize(size() * 9 / 10);
    dialog.exec();
}

void CMainFrame::printerSetup()
{
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(QString::fromUtf8("打印设置"));
    dialog.exec();
}

void CMainFrame::exportFigures()
{
    if (!reportHasPages())
        return;
    const QString base = chooseFile(FileDialogKind::ExportFigures, QString());
    if (base.isEmpty())
        return;
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    // The base names no file; the question is about the figures it replaces.
    QStringList existing;
    for (const report::Figure &figure :
         report::figureList(base, context.settings, int(m_document.survey().points.size())))
        if (QFileInfo::exists(figure.path))
            existing.append(figure.path);
    if (!existing.isEmpty()
        && !m_messenger->ask(QString::fromUtf8("以下文件已存在：\n%1\n要替换它们吗？").arg(fileList(existing)),
                             QString::fromUtf8("保存数据图形文件")))
        return;
    const report::FigureExportResult result = report::ExportFigures(base, context);
    if (!result.failed.isEmpty())
        m_messenger->show(QString::fromUtf8("以下图形文件不能写入：\n%1").arg(fileList(result.failed)),
                          common::MessageKind::Error);
}

void CMainFrame::exportPdfReport()
{
    if (!reportHasPages())
        return;
    QString path = chooseFile(FileDialogKind::ExportPdfReport, QString());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    report::ReportContext context = reportContext(m_document, m_view->printSettings());
    QString error;
    if (!report::WritePdfReport(path, context, &error))
        m_messenger->show(QString::fromUtf8("不能写入文件 %1：%2").arg(QDir::toNativeSeparators(path), error),
                          common::MessageKind::Error);
}

} // namespace talvex
