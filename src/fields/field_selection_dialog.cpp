#include "fields/field_selection_dialog.h"

#include "platform/qt/qt_text.h"
#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace lumetra {

namespace {

QString slotText(Slot slot) {
    return fromAscii(slotName(slot).substr(0, 3));
}

// A drawing of the machine table: framed regions with a caption, and dimension lines.
class TableDrawing final : public QWidget {
public:
    struct Region {
        QRect area;
        QString caption;
        Qt::Alignment captionPlace = Qt::AlignLeft | Qt::AlignBottom;
    };
    TableDrawing(std::vector<Region> regions, bool dimensionLines, QWidget* parent)
        : QWidget(parent), m_regions(std::move(regions)), m_dimensionLines(dimensionLines) {
        setMinimumSize(580, 330);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.setPen(QPen(Qt::darkGray, 1));
        for (const Region& region : m_regions) {
            painter.fillRect(region.area, QColor(235, 240, 248));
            painter.drawRect(region.area);
            painter.drawText(region.area.adjusted(6, 4, -6, -4), region.captionPlace,
                             region.caption);
        }
        if (m_dimensionLines) {
            painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
            painter.drawLine(20, 290, 280, 290);
            painter.drawLine(550, 20, 550, 150);
            painter.drawText(QRect(20, 292, 260, 16), Qt::AlignCenter,
                             fromAscii("half length (X)"));
            painter.drawText(QRect(420, 152, 160, 16), Qt::AlignRight, fromAscii("half depth (Y)"));
        }
    }

private:
    std::vector<Region> m_regions;
    bool m_dimensionLines;
};

} // namespace

FieldSelectionDialog::FieldSelectionDialog(FieldSelectionSetup& setup, QWidget* parent)
    : QDialog(parent), m_setup(setup) {
    setObjectName(fromAscii("MacFlds"));
    centreWhenShown(*this);
    setWindowTitle(fromAscii("Automatic Field Selection Setup"));
    auto* layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(fromAscii("SSTab"));
    m_tabs->addTab(buildSourceTab(), fromAscii("Auto Field Select"));
    m_tabs->addTab(buildStandardTab(), fromAscii("Standard Fields"));
    m_tabs->addTab(buildFrontBackTab(), fromAscii("Front and Back"));
    m_tabs->addTab(buildLimitsTab(), fromAscii("Field Limits"));
    layout->addWidget(m_tabs);

    auto* buttons = new QHBoxLayout;
    auto makeButton = [&](const char* name, const char* caption, const char* tip) {
        auto* button = new QPushButton(fromAscii(caption), this);
        button->setObjectName(fromAscii(name));
        button->setToolTip(fromAscii(tip));
        button->setAutoDefault(false); // Enter in a code box presses none of them
        buttons->addWidget(button);
        return button;
    };
    m_setAll = makeButton("BtnSA", "Set All", "Enable all fields on this tab");
    m_clearAll = makeButton("BtnCA", "Clear All", "Disable all fields on this tab");
    buttons->addStretch(1);
    QPushButton* ok = makeButton("BtnOK", "OK", "Exit and keep changes");
    QPushButton* cancel = makeButton("BtnCan", "Cancel", "Exit and loose changes");
    layout->addLayout(buttons);
    m_setAll->setVisible(false);
    m_clearAll->setVisible(false);

    connect(m_tabs, &QTabWidget::currentChanged, this, &FieldSelectionDialog::tabChanged);
    connect(m_setAll, &QPushButton::clicked, this, [this] {
        m_setup.setAllOnTab(m_tabs->currentIndex(), true);
        refresh();
    });
    connect(m_clearAll, &QPushButton::clicked, this, [this] {
        m_setup.setAllOnTab(m_tabs->currentIndex(), false);
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        m_setup.ok();
        accept();
        QApplication::processEvents();
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        reject();
        QApplication::processEvents();
    });
}

QWidget* FieldSelectionDialog::buildSourceTab() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* sources = new QHBoxLayout;
    auto* sourceGroup = new QButtonGroup(page);
    auto makeOption = [&](QButtonGroup* group, const char* name, const char* caption) {
        auto* option = new QRadioButton(fromAscii(caption), page);
        option->setObjectName(fromAscii(name));
        option->installEventFilter(this);
        group->addButton(option);
        return option;
    };
    m_programName = makeOption(sourceGroup, "MPName", "Program Name");
    m_comment = makeOption(sourceGroup, "MCmt", "Comment");
    m_barcode = makeOption(sourceGroup, "MBC", "Barcode");
    for (QRadioButton* option : {m_programName, m_comment, m_barcode})
        sources->addWidget(option);
    layout->addLayout(sources);

    auto* mirrorFrame = new QGroupBox(fromAscii("Mirror"), page);
    mirrorFrame->setObjectName(fromAscii("FrameMirror"));
    auto* mirrorLayout = new QHBoxLayout(mirrorFrame);
    auto* produce = new QGroupBox(fromAscii("On Match Produce: "), mirrorFrame);
    produce->setObjectName(fromAscii("FrameProduce"));
    auto* produceLayout = new QVBoxLayout(produce);
    auto* modeGroup = new QButtonGroup(page);
    m_mirror = makeOption(modeGroup, "MSel", "Mirror");
    m_normAndMirror = makeOption(modeGroup, "NMSel", "Norm and Mirror");
    m_mirror->setParent(produce);
    m_normAndMirror->setParent(produce);
    produceLayout->addWidget(m_mirror);
    produceLayout->addWidget(m_normAndMirror);
    mirrorLayout->addWidget(produce);

    m_triggerFrame = new QGroupBox(fromAscii("Set Characters to Trigger Mirror "), mirrorFrame);
    m_triggerFrame->setObjectName(fromAscii("FrameTSet"));
    auto* trigger = new QGridLayout(m_triggerFrame);
    m_template = new QLabel(m_triggerFrame);
    m_template->setObjectName(fromAscii("LabDispStr"));
    m_template->setFont(QFont(fromAscii("DejaVu Sans Mono")));
    m_template->installEventFilter(this);
    m_triggerText = new QLineEdit(m_triggerFrame);
    m_triggerText->setObjectName(fromAscii("MSpec"));
    m_position = new QScrollBar(Qt::Horizontal, m_triggerFrame);
    m_position->setObjectName(fromAscii("PosScroll"));
    m_fromLeft = new QRadioButton(fromAscii("From Left"), m_triggerFrame);
    m_fromLeft->setObjectName(fromAscii("OptAlnL"));
    m_fromRight = new QRadioButton(fromAscii("From Right"), m_triggerFrame);
    m_fromRight->setObjectName(fromAscii("OptAlnR"));
    m_leftLabel = new QLabel(m_triggerFrame);
    m_leftLabel->setObjectName(fromAscii("PosDispLeft"));
    m_rightLabel = new QLabel(m_triggerFrame);
    m_rightLabel->setObjectName(fromAscii("PosDispRight"));
    trigger->addWidget(m_template, 0, 0, 1, 2);
    trigger->addWidget(m_triggerText, 1, 0, 1, 2);
    trigger->addWidget(m_position, 2, 0, 1, 2);
    trigger->addWidget(m_fromLeft, 3, 0);
    trigger->addWidget(m_fromRight, 3, 1);
    trigger->addWidget(m_leftLabel, 4, 0);
    trigger->addWidget(m_rightLabel, 4, 1);
    mirrorLayout->addWidget(m_triggerFrame, 1);
    layout->addWidget(mirrorFrame);

    auto* defaultFrame = new QGroupBox(fromAscii("Default Field"), page);
    defaultFrame->setObjectName(fromAscii("FrameDefault"));
    auto* defaultLayout = new QHBoxLayout(defaultFrame);
    auto* defaultCode = new QLineEdit(defaultFrame);
    defaultCode->setObjectName(fromAscii("DFN"));
    defaultCode->setMaximumWidth(80);
    defaultLayout->addWidget(defaultCode);
    defaultLayout->addStretch(1);
    m_codes[static_cast<std::size_t>(Slot::DFN)] = defaultCode;
    connect(defaultCode, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_setup.slotCodeEdited(Slot::DFN, fromQString(text));
    });
    layout->addWidget(defaultFrame);
    layout->addStretch(1);

    auto sourceClick = [this](AutoSelSource source) {
        m_setup.sourceClicked(source);
        refresh();
    };
    connect(m_programName, &QRadioButton::clicked, this,
            [=] { sourceClick(AutoSelSource::ProgramName); });
    connect(m_comment, &QRadioButton::clicked, this, [=] { sourceClick(AutoSelSource::Comment); });
    connect(m_barcode, &QRadioButton::clicked, this, [=] { sourceClick(AutoSelSource::Barcode); });
    connect(m_mirror, &QRadioButton::clicked, this, [this] {
        m_setup.modeClicked(MirrorMode::Mirror);
        refresh();
    });
    connect(m_normAndMirror, &QRadioButton::clicked, this, [this] {
        m_setup.modeClicked(MirrorMode::NormAndMirror);
        refresh();
    });
    connect(m_triggerText, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (m_refreshing)
            return;
        m_setup.triggerTextChanged(fromQString(text));
        refresh();
    });
    connect(m_fromLeft, &QRadioButton::clicked, this, [this] {
        m_setup.alignmentClicked(true);
        refresh();
    });
    connect(m_fromRight, &QRadioButton::clicked, this, [this] {
        m_setup.alignmentClicked(false);
        refresh();
    });
    connect(m_position, &QScrollBar::valueChanged, this, [this](int value) {
        if (m_refreshing)
            return;
        m_setup.positionMoved(value);
        refresh();
    });
    return page;
}

void FieldSelectionDialog::placeSlot(QWidget* drawing, Slot slot, int x, int y) {
    const auto index = static_cast<std::size_t>(slot);
    auto* code = new QLineEdit(drawing);
    code->setObjectName(slotText(slot));
    code->setGeometry(x, y, 56, 24);
    code->setToolTip(slotText(slot));
    m_codes[index] = code;
    connect(code, &QLineEdit::textChanged, this, [this, slot](const QString& text) {
        if (!m_refreshing)
            m_setup.slotCodeEdited(slot, fromQString(text));
    });
    if (!hasEnableFlag(slot)) {
        auto* caption = new QLabel(slotText(slot), drawing);
        caption->setGeometry(x + 4, y + 26, 60, 22);
        return;
    }
    auto* flag = new QCheckBox(slotText(slot), drawing);
    flag->setObjectName(slotText(slot) + fromAscii("cb"));
    flag->setGeometry(x, y + 26, 70, 22);
    m_flags[index] = flag;
    connect(flag, &QCheckBox::toggled, this, [this, slot](bool checked) {
        if (!m_refreshing)
            m_setup.slotEnabled(slot, checked);
    });
}

QWidget* FieldSelectionDialog::buildStandardTab() {
    auto* drawing = new TableDrawing(
        {{QRect(20, 20, 520, 280), fromAscii("whole table"), Qt::AlignLeft | Qt::AlignTop},
         {QRect(30, 110, 250, 180), fromAscii("left half")},
         {QRect(280, 110, 250, 180), fromAscii("right half")}},
        false, nullptr);
    placeSlot(drawing, Slot::SFN, 210, 40);
    placeSlot(drawing, Slot::SFM, 290, 40);
    placeSlot(drawing, Slot::SFS, 80, 170);
    placeSlot(drawing, Slot::SFA, 160, 170);
    placeSlot(drawing, Slot::SFT, 330, 170);
    placeSlot(drawing, Slot::SFR, 410, 170);
    return drawing;
}

QWidget* FieldSelectionDialog::buildFrontBackTab() {
    auto* drawing = new TableDrawing(
        {{QRect(20, 20, 520, 140), fromAscii("back"), Qt::AlignLeft | Qt::AlignTop},
         {QRect(20, 160, 520, 140), fromAscii("front"), Qt::AlignLeft | Qt::AlignTop},
         {QRect(30, 70, 250, 84), fromAscii("back left")},
         {QRect(280, 70, 250, 84), fromAscii("back right")},
         {QRect(30, 210, 250, 84), fromAscii("front left")},
         {QRect(280, 210, 250, 84), fromAscii("front right")}},
        false, nullptr);
    const std::array<std::array<Slot, 6>, 2> rows = {{
        {Slot::BFN, Slot::BFM, Slot::BFS, Slot::BFA, Slot::BFT, Slot::BFR},
        {Slot::FFN, Slot::FFM, Slot::FFS, Slot::FFA, Slot::FFT, Slot::FFR},
    }};
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const int top = 24 + static_cast<int>(row) * 140;
        placeSlot(drawing, rows[row][0], 210, top);
        placeSlot(drawing, rows[row][1], 290, top);
        placeSlot(drawing, rows[row][2], 80, top + 52);
        placeSlot(drawing, rows[row][3], 160, top + 52);
        placeSlot(drawing, rows[row][4], 330, top + 52);
        placeSlot(drawing, rows[row][5], 410, top + 52);
    }
    return drawing;
}

QWidget* FieldSelectionDialog::buildLimitsTab() {
    auto* drawing = new TableDrawing({{QRect(20, 20, 260, 130), {}},
                                      {QRect(280, 20, 260, 130), {}},
                                      {QRect(20, 150, 260, 130), {}},
                                      {QRect(280, 150, 260, 130), {}}},
                                     true, nullptr);
    m_halfLimitX = new QLineEdit(drawing);
    m_halfLimitX->setObjectName(fromAscii("HlfLimX"));
    m_halfLimitX->setGeometry(110, 306, 80, 24);
    m_halfLimitY = new QLineEdit(drawing);
    m_halfLimitY->setObjectName(fromAscii("HlfLimY"));
    m_halfLimitY->setGeometry(460, 172, 80, 24);
    connect(m_halfLimitX, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_setup.halfLimitEdited(true, fromQString(text));
    });
    connect(m_halfLimitY, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_refreshing)
            m_setup.halfLimitEdited(false, fromQString(text));
    });
    drawing->setMinimumSize(580, 340);
    return drawing;
}

void FieldSelectionDialog::tabChanged(int index) {
    const bool slotTab = !FieldSelectionSetup::slotsOnTab(index).empty();
    m_setAll->setVisible(slotTab);
    m_clearAll->setVisible(slotTab);
}

bool FieldSelectionDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == m_template) {
        m_setup.templateDoubleClicked();
        m_template->setText(toQString(m_setup.display().templateText));
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FieldSelectionDialog::loadSettings() {
    centreWindow(*this);
    m_setup.load();
    refresh();
}

void FieldSelectionDialog::showModal() {
    refresh();
    exec();
}

void FieldSelectionDialog::refresh() {
    m_refreshing = true;
    const FieldSelectionSettings& settings = m_setup.settings();
    const TriggerDisplay& display = m_setup.display();
    m_programName->setChecked(settings.source == AutoSelSource::ProgramName);
    m_comment->setChecked(settings.source == AutoSelSource::Comment);
    m_barcode->setChecked(settings.source == AutoSelSource::Barcode);
    m_mirror->setChecked(settings.mirrorMode == MirrorMode::Mirror);
    m_normAndMirror->setChecked(settings.mirrorMode == MirrorMode::NormAndMirror);

    for (QWidget* control :
         std::initializer_list<QWidget*>{m_triggerFrame, m_fromLeft, m_fromRight, m_position,
                                         m_template, m_triggerText, m_leftLabel, m_rightLabel})
        control->setEnabled(display.enabled);
    if (m_triggerText->text() != toQString(display.text))
        m_triggerText->setText(toQString(display.text));
    m_position->setRange(1, display.maximum);
    m_position->setValue(display.position);
    m_fromLeft->setChecked(display.fromLeft);
    m_fromRight->setChecked(!display.fromLeft);
    m_template->setText(toQString(display.templateText));
    m_leftLabel->setText(toQString(display.leftLabel));
    m_rightLabel->setText(toQString(display.rightLabel));
    m_leftLabel->setVisible(display.fromLeft);
    m_rightLabel->setVisible(!display.fromLeft);

    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (m_codes[i] != nullptr && m_codes[i]->text() != toQString(settings.fieldSlots[i].code))
            m_codes[i]->setText(toQString(settings.fieldSlots[i].code));
        if (m_flags[i] != nullptr)
            m_flags[i]->setChecked(settings.fieldSlots[i].enabled);
    }
    m_halfLimitX->setText(toQString(settings.halfLimitX));
    m_halfLimitY->setText(toQString(settings.halfLimitY));
    m_refreshing = false;
}

} // namespace lumetra
