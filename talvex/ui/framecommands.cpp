// The handler table of the analysis window: what every command of the
// command table (commandtable.h) runs, one row per command, grouped as the
// menus are. Adding a command is a row of the command table and a row here;
// the window test checks that no row of the command table is left without
// one. Handlers longer than a line live by subject in framefiles.cpp,
// framereport.cpp and framesuggestions.cpp.

#include "common/messenger.h"
#include "common/platform/onscreenkeyboard.h"
#include "talvex/analysis/layercommands.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/analysis/pointvelocity.h"
#include "talvex/document/surveydocument.h"
#include "talvex/settings/talvexsettings.h"
#include "talvex/ui/caboutdlg.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/dialogs/ceditchanshudialog.h"
#include "talvex/ui/dialogs/ceditchendialog.h"
#include "talvex/ui/dialogs/ceditdaodialog.h"
#include "talvex/ui/dialogs/ceditzhudialog.h"
#include "talvex/ui/dialogs/clubodialog.h"
#include "talvex/ui/dialogs/cpointnumdialog.h"
#include "talvex/ui/dialogs/echengguodialog.h"
#include "talvex/ui/dialogs/ewuxingzhibiao.h"
#include "talvex/ui/programfiles.h"
#include "talvex/ui/view/ctalvexview.h"

#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

namespace talvex {

namespace {

// Runs a modal dialog built from `args` to its end.
template <typename Dialog, typename... Args>
void execDialog(Args &&...args)
{
    Dialog dialog(std::forward<Args>(args)...);
    dialog.exec();
}

} // namespace

std::vector<CMainFrame::CommandBinding> CMainFrame::commandBindings()
{
    return {
        // 文件(&F)
        {CommandId::FileNew, [this] { newSurvey(); }},
        {CommandId::FileOpen, [this] { openWithDialog(); }},
        {CommandId::FileSave, [this] { save(); }},
        {CommandId::FileSaveAs, [this] { saveAs(); }},
        {CommandId::FilePrint, [this] { printReport(); }},
        {CommandId::FilePrintPreview, [this] { previewReport(); }},
        {CommandId::PageSetup, [this] { pageSetup(); }},
        {CommandId::PrintSetup, [this] { printerSetup(); }},
        {CommandId::ExportFigures, [this] { exportFigures(); }},
        {CommandId::ExportPdfReport, [this] { exportPdfReport(); }},
        {CommandId::ExportPointTable, [this] { exportTable(CommandId::ExportPointTable); }},
        {CommandId::ExportLayerTable, [this] { exportTable(CommandId::ExportLayerTable); }},
        {CommandId::ExportWaveforms, [this] { exportTable(CommandId::ExportWaveforms); }},
        // The place of the recent files in the menu; each entry opens its file.
        {CommandId::RecentFiles, nullptr},
        {CommandId::AppExit, [this] { close(); }},

        // 编辑(&E)
        {CommandId::Undo, [this] { m_document.Undo(); }},
        {CommandId::EnterSurveyLog, [this] { execDialog<CEditChenDialog>(m_document, *m_messenger, this); }},
        {CommandId::EditHoleParameters,
         [this] {
             execDialog<CEditChanShuDialog>(m_document, CEditChanShuDialog::Purpose::EditHole, *m_messenger, this);
         }},
        {CommandId::EditPointParameters, [this] { execDialog<CEditDaoDialog>(m_document, *m_messenger, this); }},
        {CommandId::EditLayers, [this] { execDialog<CEditZhuDialog>(m_document, *m_messenger, this); }},
        {CommandId::ImportRecord, [this] { importRecord(); }},
        {CommandId::ImportFolder, [this] { importFolder(); }},
        {CommandId::ImportLayers, [this] { importLayers(); }},
        {CommandId::ShowResults, [this] { execDialog<EChengGuoDialog>(m_document.survey(), this); }},
        {CommandId::ShowSoilIndices, [this] { execDialog<EWUXINGZHIBIAO>(*m_messenger, this); }},
        {CommandId::SetPositiveTrace, [this] { m_document.editor().SetPositiveTrace(); }},
        {CommandId::SetNegativeTrace, [this] { m_document.editor().SetNegativeTrace(); }},
        {CommandId::SetTriggerPoint,
         [this] {
             if (SetTriggerPoint(m_document.record(), m_document.view()))
                 m_document.notifyRecordChanged();
         }},
        {CommandId::InsertLayer, [this] { InsertLayer(m_document.survey(), m_document.view(), *m_messenger); }},
        {CommandId::DeleteLayer, [this] { DeleteLayer(m_document.survey(), m_document.view(), *m_messenger); }},
        {CommandId::SuggestLayers, [this] { suggestLayers(); }},

        // 波形处理(&K)
        {CommandId::SetSArrival, [this] { SetSArrival(m_document.survey(), m_document.view()); }},
        {CommandId::SetPArrival, [this] { SetPArrival(m_document.survey(), m_document.view()); }},
        {CommandId::SetRArrival, [this] { SetRArrival(m_document.survey(), m_document.view()); }},
        {CommandId::ZeroBeforeCursor, [this] { m_document.editor().ZeroBeforeCursor(); }},
        {CommandId::ZeroAfterCursor, [this] { m_document.editor().ZeroAfterCursor(); }},
        {CommandId::DigitalFilter,
         [this] {
             CLuBoDialog dialog(m_document.editing().filter, *m_messenger, m_document.editor().targetInterval(), this);
             if (dialog.exec() == QDialog::Accepted)
                 m_document.editor().FilterTrace(dialog.settings());
         }},
        {CommandId::ShowSpectrum, [this] { m_document.editor().ShowSpectrum(); }},
        {CommandId::SmoothTrace,
         [this] {
             CPointNumDialog dialog(m_document.editing().smoothWindow, *m_messenger, this);
             if (dialog.exec() == QDialog::Accepted)
                 m_document.editor().SmoothTrace(dialog.value());
         }},
        {CommandId::RemoveTraceDC, [this] { m_document.editor().RemoveTraceDC(); }},
        {CommandId::ShiftEarlier, [this] { m_document.editor().ShiftEarlier(); }},
        {CommandId::ShiftLater, [this] { m_document.editor().ShiftLater(); }},
        {CommandId::InvertTrace, [this] { m_document.editor().InvertTrace(); }},
        {CommandId::InvertAllPoints, [this] { m_document.editor().InvertAllPoints(); }},
        {CommandId::ShiftEarlierTen, [this] { m_document.editor().ShiftEarlierTen(); }},
        {CommandId::ShiftLaterTen, [this] { m_document.editor().ShiftLaterTen(); }},
        {CommandId::InsertPoint, [this] { InsertPoint(m_document.survey(), m_document.view(), m_document.undo()); }},
        {CommandId::DeletePoint, [this] { DeletePoint(m_document.survey(), m_document.view(), m_document.undo()); }},
        {CommandId::SortPoints, [this] { SortPointsByDepth(m_document.survey()); }},
        {CommandId::RecalculateAll,
         [this] {
             RecalculateAllVelocities(m_document.survey());
             m_document.survey().markModified(SurveyParts::Points);
         }},
        {CommandId::ReviewIntervals, [this] { reviewIntervals(); }},
        {CommandId::ToggleArrivalSuggestions,
         [this] { m_document.setSuggestionsShown(!m_document.suggestions().shown()); }},
        {CommandId::AcceptArrivalSuggestion, [this] { acceptArrivalSuggestion(); }},
        {CommandId::AcceptAllArrivalSuggestions, [this] { acceptAllArrivalSuggestions(); }},

        // 查看(&V)
        {CommandId::ViewToolBar, [this] { toggleToolBars(); }},
        {CommandId::ViewStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); }},
        {CommandId::ShowWaveforms, [this] { m_view->showMultiTrace(); }},
        {CommandId::ShowHistogram, [this] { m_view->showVelocityHistogram(); }},
        {CommandId::ShowTimeDistance, [this] { m_view->showTimeDistance(); }},
        {CommandId::ZoomIn, [this] { m_view->zoomIn(); }},
        {CommandId::ZoomOut, [this] { m_view->zoomOut(); }},

        // 帮助(&H)
        {CommandId::HelpTopics, [this] { openHelpDocument(CommandId::HelpTopics); }},
        {CommandId::UserManual, [this] { openHelpDocument(CommandId::UserManual); }},
        {CommandId::WebSupport, [this] { openSupportPage(); }},
        // There is no update service to ask; the rule never enables it.
        {CommandId::UpdateCheck, nullptr},
        {CommandId::About, [this] { execDialog<CAboutDlg>(this); }},

        // Toolbar, context menu and keyboard only
        {CommandId::ToggleSingleTrace, [this] { m_view->toggleSingleTrace(); }},
        {CommandId::ShowRawRecord, [this] { m_view->showRawRecord(); }},
        {CommandId::ExportFiguresButton, [this] { exportFigures(); }},
        {CommandId::CompressDisplay,
         [this] {
             if (m_document.editor().CompressDisplay(*m_messenger))
                 m_document.notifyRecordChanged();
         }},
        {CommandId::ExpandDisplay,
         [this] {
             if (m_document.editor().ExpandDisplay(*m_messenger))
                 m_document.notifyRecordChanged();
         }},
        {CommandId::RestoreDisplay,
         [this] {
             if (m_document.editor().RestoreDisplay())
                 m_document.notifyRecordChanged();
         }},
        {CommandId::OnScreenKeyboard, [this] { startOnScreenKeyboard(); }},
        // The window has one pane; the rule never enables these.
        {CommandId::NextPane, nullptr},
        {CommandId::PreviousPane, nullptr},
    };
}

void CMainFrame::toggleToolBars()
{
    const bool show = m_firstToolBar->isHidden();
    m_firstToolBar->setVisible(show);
    m_readoutToolBar->setVisible(show);
    m_secondToolBar->setVisible(show);
}

void CMainFrame::openHelpDocument(CommandId id)
{
    const auto openFile = [this](const QString &path) { return m_urlOpener(QUrl::fromLocalFile(path)); };
    openProgramDocument(id == CommandId::UserManual ? ProgramDocument::Manual : ProgramDocument::Help, m_programFolder,
                        openFile, *m_messenger);
}

void CMainFrame::openSupportPage()
{
    if (!m_urlOpener(QUrl(QString::fromUtf8(kSupportAddress))))
        m_messenger->show(QString::fromUtf8("不能打开网页 %1").arg(QString::fromUtf8(kSupportAddress)),
                          common::MessageKind::Warning);
}

void CMainFrame::startOnScreenKeyboard()
{
    QString error;
    if (!platform::startOnScreenKeyboard(m_settings.onScreenKeyboardProgram(), &error))
        m_messenger->show(error, common::MessageKind::Warning);
}

} // namespace talvex
