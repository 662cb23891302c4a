#include "talvex/ui/dialogs/filedialogs.h"

#include "common/messenger.h"
#include "talvex/analysis/fieldtext.h"
#include "talvex/survey/exports.h"
#include "talvex/survey/surveydata.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace talvex {

namespace {

struct KindText {
    const char *title;
    const char *filter;
    bool save;
};

KindText kindText(FileDialogKind kind)
{
    switch (kind) {
    case FileDialogKind::OpenSurvey: return {"打开数据文件", "Qelvorn剪切波数据文件 (*.QSW)", false};
    case FileDialogKind::SaveSurveyAs: return {"另存为", "Qelvorn剪切波数据文件 (*.qsw)", true};
    case FileDialogKind::ImportLayers: return {"打开源数据文件", "Qelvorn剪切波数据文件 (*.QSW)", false};
    // SEG-2 files of seismographs are read too; the reader goes by content.
    case FileDialogKind::ImportRecord:
        return {"导入原始数据", "波速测试现场数据文件 (*.CWD);;SEG-2 地震仪数据文件 (*.SG2 *.DAT);;所有文件 (*)",
                false};
    // The program's own form first, then a workbook and UTF-8 CSV.
    case FileDialogKind::ExportWaveforms:
        return {"保存数据文本文件", "Qelvorn剪切波数据文本文件 (*.TXT);;Excel 工作簿 (*.xlsx);;CSV 文件，UTF-8 (*.csv)",
                true};
    case FileDialogKind::ExportPointTable:
    case FileDialogKind::ExportLayerTable:
        return {"保存数据文件", "Qelvorn剪切波数据文件 (*.XLS);;Excel 工作簿 (*.xlsx);;CSV 文件，UTF-8 (*.csv)", true};
    case FileDialogKind::ExportFigures: return {"保存数据图形文件", "Qelvorn剪切波数据图形文件 (*.BMP)", true};
    case FileDialogKind::ExportPdfReport: return {"输出PDF报告", "PDF文件 (*.pdf)", true};
    }
    return {"", "", false};
}

bool isExport(FileDialogKind kind)
{
    return kind == FileDialogKind::ExportWaveforms || kind == FileDialogKind::ExportPointTable
        || kind == FileDialogKind::ExportLayerTable;
}

ExportKind exportKindOf(FileDialogKind kind)
{
    return kind == FileDialogKind::ExportWaveforms ? ExportKind::Waveforms
        : kind == FileDialogKind::ExportPointTable ? ExportKind::Points
                                                   : ExportKind::Layers;
}

} // namespace

std::unique_ptr<QFileDialog> makeFileDialog(FileDialogKind kind, QWidget *parent, const QString &initialName)
{
    const KindText text = kindText(kind);
    auto dialog = std::make_unique<QFileDialog>(parent, QString::fromUtf8(text.title));
    dialog->setNameFilter(QString::fromUtf8(text.filter));
    if (text.save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        if (kind == FileDialogKind::SaveSurveyAs)
            dialog->setDefaultSuffix(QStringLiteral("qsw"));
        if (kind == FileDialogKind::ExportPdfReport)
            dialog->setDefaultSuffix(QStringLiteral("pdf"));
        // The exports append their extension themselves and ask about the
        // file they write (askFileName), not about the name typed; the
        // figures' base is no file at all.
        if (isExport(kind) || kind == FileDialogKind::ExportFigures)
            dialog->setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (!initialName.isEmpty()) {
        const QFileInfo info(initialName);
        if (info.path() != QStringLiteral(".") && QFileInfo(info.path()).isDir())
            dialog->setDirectory(info.path());
        dialog->selectFile(info.fileName());
    }
    return dialog;
}

QString offeredFileName(FileDialogKind kind, const SurveyData &survey)
{
    QString suffix;
    if (kind == FileDialogKind::ExportPointTable)
        suffix = QStringLiteral("号孔测点波速");
    else if (kind == FileDialogKind::ExportLayerTable)
        suffix = QStringLiteral("号孔分层波速");
    else
        return QString();
    QString name = fieldText(survey.header.holeNumber) + suffix;
    for (const QChar c : QStringLiteral("/\\:*?\"<>|"))
        name.replace(c, QLatin1Char('_'));
    return name;
}

QString exportTargetName(FileDialogKind kind, const QString &chosen)
{
    if (!isExport(kind))
        return chosen;
    return exportPath(exportKindOf(kind), exportFormatOfName(chosen), chosen);
}

QString askFileName(FileDialogKind kind, QWidget *parent, common::Messenger &messenger, const QString &initialName)
{
    const auto dialog = makeFileDialog(kind, parent, initialName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return QString();
    QString chosen = dialog->selectedFiles().constFirst();
    if (isExport(kind)) {
        // A workbook or CSV filter makes the name end in its extension, which
        // is what picks that form of the export.
        const QString filter = dialog->selectedNameFilter();
        if (filter.contains(QStringLiteral("*.xlsx")))
            chosen = exportPath(exportKindOf(kind), ExportFormat::Xlsx, chosen);
        else if (filter.contains(QStringLiteral("*.csv")))
            chosen = exportPath(exportKindOf(kind), ExportFormat::Csv, chosen);
        const QString target = exportTargetName(kind, chosen);
        if (QFileInfo::exists(target)
            && !messenger.ask(QStringLiteral("%1 已存在。\n要替换它吗？").arg(QDir::toNativeSeparators(target)),
                              QString::fromUtf8(kindText(kind).title)))
            return QString();
    }
    return chosen;
}

QString askRecordFolder(QWidget *parent, const QString &startFolder)
{
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("选择数据文件夹"), startFolder);
}

} // namespace talvex
