#pragma once

#include "platform/dialogs.h"

class QWidget;

namespace lumetra {

// Real message boxes, owned by the main window.
class QtDialogs final : public Dialogs {
public:
    void setParent(QWidget* parent) { m_parent = parent; }
    Answer message(std::string_view text, Icon icon, Buttons buttons,
                   std::string_view title) override;

private:
    QWidget* m_parent = nullptr;
};

} // namespace lumetra
