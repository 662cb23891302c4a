#pragma once
// "页面设置": which kinds of report pages are printed, the page heading, the
// footer style, the first page number, the margins and the grid of waveforms
// per page, with a live 预览 of the page. Opens with the given settings (each
// print flag shown checked when it is greater than 0); settings() gives every
// field back (flags 1 or 0) and is taken by the caller only after 确定.

#include "talvex/settings/printsettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace talvex {

class ClampingSpinBox;
class PagePreviewBox;

class CSetupPageDialog : public QDialog {
    Q_OBJECT
public:
    explicit CSetupPageDialog(const PrintSettings &settings, QWidget *parent = nullptr);

    // The values the controls show now.
    PrintSettings settings() const;
    const PagePreviewBox &previewBox() const { return *m_preview; }

    void accept() override;

private:
    void updatePreview();

    QLineEdit *m_header = nullptr;
    QComboBox *m_footer = nullptr;
    ClampingSpinBox *m_firstPage = nullptr;
    ClampingSpinBox *m_marginTop = nullptr;
    ClampingSpinBox *m_marginBottom = nullptr;
    ClampingSpinBox *m_marginLeft = nullptr;
    ClampingSpinBox *m_marginRight = nullptr;
    ClampingSpinBox *m_columns = nullptr;
    ClampingSpinBox *m_rows = nullptr;
    QCheckBox *m_waveforms = nullptr;
    QCheckBox *m_table = nullptr;
    QCheckBox *m_velocity = nullptr;
    QCheckBox *m_twoCurves = nullptr;
    QCheckBox *m_overburden = nullptr;
    QCheckBox *m_siteClass = nullptr;
    QComboBox *m_curveName = nullptr;
    PagePreviewBox *m_preview = nullptr;
};

} // namespace talvex
