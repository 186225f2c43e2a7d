#include "labels/exclusion_dialog.h"

#include "platform/qt/qt_widgets.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumetra {

ExclusionInsertionDialog::ExclusionInsertionDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ExInsForm"));
    setWindowTitle(QStringLiteral("Exclusion Insertion"));
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(QStringLiteral("Automatic insertion of an Exclusion number in the List "
                                           "Manager upon scan of barcode.  Select desired "
                                           "Exclusion number to insert."),
                            this);
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* row = new QHBoxLayout;
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        auto* box = new QCheckBox(QString::number(i + 1), this);
        box->setObjectName(QStringLiteral("ExCk%1").arg(i + 1));
        row->addWidget(box);
        m_boxes[i] = box;
    }
    layout->addLayout(row);
    addOkCancelRow(*this, *layout, QStringLiteral("BtnOK"), QStringLiteral("BtnCan"));
}

void ExclusionInsertionDialog::load(const ExclusionBoxes& checked) {
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setChecked(checked[i]);
}

ExclusionBoxes ExclusionInsertionDialog::boxes() const {
    ExclusionBoxes result{};
    for (std::size_t i = 0; i < m_boxes.size(); ++i)
        result[i] = m_boxes[i]->checkState() != Qt::Unchecked;
    return result;
}

std::optional<ExclusionBoxes> ExclusionInsertionDialog::run(const ExclusionBoxes& checked) {
    load(checked);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return boxes();
}

} // namespace lumetra
