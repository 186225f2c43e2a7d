// ExInsForm: eight check boxes for the exclusion numbers to insert.
#pragma once

#include "labels/exclusion.h"

#include <QDialog>

class QCheckBox;

namespace lumetra {

class ExclusionInsertionDialog final : public QDialog, public ExclusionDialog {
    Q_OBJECT
public:
    explicit ExclusionInsertionDialog(QWidget* parent = nullptr);

    std::optional<ExclusionBoxes> run(const ExclusionBoxes& checked) override;
    void load(const ExclusionBoxes& checked);
    // A grayed box counts as checked.
    ExclusionBoxes boxes() const;

private:
    std::array<QCheckBox*, 8> m_boxes{};
};

} // namespace lumetra
