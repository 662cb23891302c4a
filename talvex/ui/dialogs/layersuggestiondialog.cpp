#include "talvex/ui/dialogs/layersuggestiondialog.h"

#include "talvex/analysis/layersuggest.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace talvex {

QString LayerSuggestionDialog::fitText(const LayerSuggestion &suggestion)
{
    return QString::fromUtf8("拟合 %1 个测点，残差均方根 %2ms，最大 %3ms")
        .arg(suggestion.usedPoints)
        .arg(double(suggestion.rmsResidual), 0, 'f', 3)
        .arg(double(suggestion.maxResidual), 0, 'f', 3);
}

LayerSuggestionDialog::LayerSuggestionDialog(const LayerSuggestion &suggestion, int existingLayers, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8("建议分层"));

    const QStringList headers{QString::fromUtf8("层号"), QString::fromUtf8("顶深(m)"), QString::fromUtf8("底深(m)"),
                              QString::fromUtf8("拟合波速(m/s)"), QString::fromUtf8("测点数")};
    m_table = new QTableWidget(int(suggestion.layers.size()), int(headers.size()), this);
    m_table->setObjectName(QStringLiteral("layers"));
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < int(suggestion.layers.size()); ++row) {
        const SuggestedLayer &layer = suggestion.layers[std::size_t(row)];
        const QStringList cells{QString::number(row + 1), QString::number(double(layer.top), 'f', 2),
                                QString::number(double(layer.bottom), 'f', 2),
                                layer.velocity > 0.0f ? QString::number(double(layer.velocity), 'f', 1)
                                                      : QStringLiteral("-"),
                                QString::number(layer.pointCount)};
        for (int column = 0; column < int(cells.size()); ++column) {
            auto *item = new QTableWidgetItem(cells[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    // The layers get their velocities from the point velocities once
    // inserted, as layers set on the histogram do.
    auto *fit = new QLabel(fitText(suggestion) + QString::fromUtf8("\n采用后各层波速按测点波速计算。"), this);
    fit->setObjectName(QStringLiteral("fit"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(fit);
    if (existingLayers > 0) {
        auto *note = new QLabel(QString::fromUtf8("采用后将替换现有的 %1 个分层。").arg(existingLayers), this);
        layout->addWidget(note);
    }

    auto *buttons = new QDialogButtonBox(this);
    buttons->addButton(QString::fromUtf8("采用"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QString::fromUtf8("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &LayerSuggestionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LayerSuggestionDialog::reject);
    layout->addWidget(buttons);
    resize(440, 300);
}

} // namespace talvex
