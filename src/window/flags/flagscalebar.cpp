#include "flags/flagscalebar.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSettings>

namespace {

const char* const UnitKey = "flagPlotUnit";
const char* const AutoScaleKey = "flagPlotAutoScale";
const char* const DiscTimeKey = "flagPlotDiscTime";
const char* const PerSecondValue = "perSecond";

template <typename T> T* named(QWidget* parent, const char* name, const char* text) {
    auto* widget = new T(QString::fromLatin1(text), parent);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(widget->text());
    return widget;
}

} // namespace

FlagScaleBar::FlagScaleBar(QWidget* widthSlider, QSettings* store, QObject* parent)
    : QObject(parent), slider(widthSlider), store(store) {
    row = new QWidget(slider->parentWidget());
    row->setObjectName(QStringLiteral("flagScaleRow"));
    percent = named<QRadioButton>(row, "radioFlagsPercent", "Percent");
    perSecond = named<QRadioButton>(row, "radioFlagsPerSecond", "Per second");
    autoScale = named<QCheckBox>(row, "checkBoxFlagsAutoScale", "Auto scale");
    discAxis = named<QCheckBox>(row, "checkBoxFlagsDiscTime", "Disc time");
    discAxis->setToolTip(QStringLiteral("The whole run along the time on the disc, where the "
                                        "board reports it"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(percent);
    layout->addWidget(perSecond);
    layout->addSpacing(16);
    layout->addWidget(autoScale);
    layout->addSpacing(16);
    layout->addWidget(discAxis);

    const bool storedPerSecond =
        store && store->value(UnitKey).toString() == QLatin1String(PerSecondValue);
    (storedPerSecond ? perSecond : percent)->setChecked(true);
    autoScale->setChecked(store && store->value(AutoScaleKey, false).toBool());
    discAxis->setChecked(store && store->value(DiscTimeKey, false).toBool());

    for (QRadioButton* button : {percent, perSecond}) {
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                remember();
        });
    }
    for (QCheckBox* box : {autoScale, discAxis})
        connect(box, &QCheckBox::toggled, this, &FlagScaleBar::remember);
    slider->installEventFilter(this);
    place();
    row->show();
}

FlagScale::Unit FlagScaleBar::unit() const {
    return perSecond->isChecked() ? FlagScale::Unit::PerSecond : FlagScale::Unit::Percent;
}

bool FlagScaleBar::automatic() const {
    return autoScale->isChecked();
}

bool FlagScaleBar::discTime() const {
    return discAxis->isChecked();
}

void FlagScaleBar::remember() {
    if (store) {
        store->setValue(UnitKey, perSecond->isChecked() ? QString::fromLatin1(PerSecondValue)
                                                        : QStringLiteral("percent"));
        store->setValue(AutoScaleKey, autoScale->isChecked());
        store->setValue(DiscTimeKey, discAxis->isChecked());
    }
    emit changed();
}

void FlagScaleBar::place() {
    const QRect under = slider->geometry();
    row->setGeometry(under.x(), under.bottom() + 3, row->sizeHint().width(),
                     row->sizeHint().height());
}

bool FlagScaleBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == slider && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        place();
    return QObject::eventFilter(watched, event);
}
