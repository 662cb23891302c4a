// The analysis window's automatic suggestions and checks: the current
// point's suggested pick, all picks above a quality, the layers of the
// travel-time curve, and the review list of the interval check.

#include "common/messenger.h"
#include "talvex/analysis/autopick.h"
#include "talvex/analysis/intervalcheck.h"
#include "talvex/analysis/layersuggest.h"
#include "talvex/analysis/pointcommands.h"
#include "talvex/document/surveydocument.h"
#include "talvex/ui/cmainframe.h"
#include "talvex/ui/dialogs/intervalreviewdialog.h"
#include "talvex/ui/dialogs/layersuggestiondialog.h"
#include "talvex/ui/dialogs/pickqualitydialog.h"
#include "talvex/ui/view/ctalvexview.h"

namespace talvex {

void CMainFrame::reviewIntervals()
{
    if (!m_intervalReview) {
        m_intervalReview = new IntervalReviewDialog(this);
        connect(m_intervalReview, &IntervalReviewDialog::pointChosen, m_view, &CtalvexView::showPoint);
        connect(m_intervalReview, &QDialog::finished, this, [this] { m_view->setFlaggedPoints({}); });
        connect(&m_document, &SurveyDocument::pointsChanged, this, [this] {
            if (m_intervalReview->isVisible())
                refreshIntervalCheck();
        });
        // Shown suggestions arrive from the worker; their uncertainties count.
        connect(&m_document, &SurveyDocument::suggestionsChanged, this, [this] {
            if (m_intervalReview->isVisible()) {
                m_uncertaintyFingerprints.clear();
                refreshIntervalCheck();
            }
        });
    }
    m_intervalReview->show();
    m_intervalReview->raise();
    refreshIntervalCheck();
}

void CMainFrame::refreshIntervalCheck()
{
    const SurveyData &survey = m_document.survey();
    // The uncertainties come from the suggestions, which depend on the
    // traces only: a pick keeps them, an edit of the traces computes them
    // again. Shown suggestions are taken as far as the worker has computed
    // them (a point still pending counts one sample) and again as they come.
    std::vector<std::size_t> fingerprints;
    fingerprints.reserve(survey.points.size());
    for (const TlvOne &point : survey.points)
        fingerprints.push_back(suggestionInputFingerprint(point));
    if (fingerprints != m_uncertaintyFingerprints || m_pickUncertaintiesMs.size() != survey.points.size()) {
        const ArrivalSuggestions &shown = m_document.suggestions();
        m_pickUncertaintiesMs = PickUncertaintiesMs(survey, shown.shown() ? *shown.current() : SuggestArrivals(survey));
        m_uncertaintyFingerprints = std::move(fingerprints);
    }
    if (!m_alignments)
        m_alignments = std::make_unique<NeighbourAlignments>();
    const IntervalCheck check = CheckIntervals(survey, m_alignments->update(survey), m_pickUncertaintiesMs);
    m_intervalReview->setCheck(check);
    m_view->setFlaggedPoints(check.flaggedPoints);
}

void CMainFrame::acceptArrivalSuggestion()
{
    SurveyData &survey = m_document.survey();
    ViewState &view = m_document.view();
    const std::optional<ArrivalSuggestion> suggestion = m_document.suggestions().forPoint(view.currentPoint - 1);
    if (!suggestion || !isAcceptable(*suggestion, 0.0))
        return;
    const int sample = suggestion->sample;
    // The pick replaces whatever the engineer had picked by hand, so it can
    // be undone; then it runs as 设为S波初至 with the cursor on the suggested
    // sample (the point's and the next point's velocities follow).
    m_document.undo().TakeUndoSnapshot(survey);
    view.cursorX = kWaveformOriginX + sample;
    SetSArrival(survey, view);
}

void CMainFrame::acceptAllArrivalSuggestions()
{
    PickQualityDialog dialog(m_minSuggestionQuality, *m_messenger, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_minSuggestionQuality = dialog.value();
    SurveyData &survey = m_document.survey();
    // A snapshot: the picks below change the points, which never changes a
    // snapshot already handed out.
    const ArrivalSuggestions::Snapshot suggestions = m_document.suggestions().current();
    // Picks already made stay unless the engineer ticked 替换已有的拾取; one
    // undo snapshot covers whatever changed.
    const AppliedSuggestions applied = AcceptArrivalSuggestions(
        survey, *suggestions, double(m_minSuggestionQuality),
        dialog.replaceExisting() ? ExistingPicks::Replace : ExistingPicks::Keep, &m_document.undo());
    const QString quality = QString::number(double(m_minSuggestionQuality), 'f', 2);
    if (applied.filled + applied.replaced > 0) {
        QString text = QString::fromUtf8("已采用 %1 个测点的拾取建议（质量不低于 %2）")
                           .arg(applied.filled + applied.replaced)
                           .arg(quality);
        text += QString::fromUtf8("：填入 %1 个，替换 %2 个").arg(applied.filled).arg(applied.replaced);
        if (applied.kept > 0)
            text += QString::fromUtf8("，保留已有拾取 %1 个").arg(applied.kept);
        m_messenger->show(text + QString::fromUtf8("。"), common::MessageKind::Information);
    } else if (applied.kept > 0) {
        m_messenger->show(
            QString::fromUtf8(
                "已有拾取的 %1 个测点保持不变（要替换请勾选“替换已有的拾取”），没有未拾取的测点可以填入。")
                .arg(applied.kept),
            common::MessageKind::Information);
    } else {
        m_messenger->show(QString::fromUtf8("没有质量不低于 %1 的拾取建议，未作改动。").arg(quality),
                          common::MessageKind::Information);
    }
}

void CMainFrame::suggestLayers()
{
    SurveyData &survey = m_document.survey();
    const LayerSuggestion suggestion = SuggestLayers(survey);
    if (!suggestion.ok()) {
        m_messenger->show(suggestion.problem, common::MessageKind::Warning);
        return;
    }
    LayerSuggestionDialog dialog(suggestion, int(survey.layers.size()), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Asks before replacing the layers there are; the layers' change reaches
    // the histogram and the layer dialogs through the document.
    AcceptLayerSuggestion(survey, suggestion, *m_messenger);
}

} // namespace talvex
