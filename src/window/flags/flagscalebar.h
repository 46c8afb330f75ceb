#ifndef FLAGSCALEBAR_H
#define FLAGSCALEBAR_H

#include "flags/flagscale.h"

#include <QObject>

class QCheckBox;
class QRadioButton;
class QSettings;
class QWidget;

// The flag page's choice of the plots' unit ("Percent" or "Per second"), of "Auto scale" and of
// "Disc time" for the whole run, in a row under the width slider, remembered in the settings store
// (`flagPlotUnit`, `flagPlotAutoScale`, `flagPlotDiscTime`).
class FlagScaleBar : public QObject {
    Q_OBJECT

public:
    // Builds the row on the slider's page, under it; `store` may be null (nothing remembered).
    FlagScaleBar(QWidget* widthSlider, QSettings* store, QObject* parent = nullptr);

    FlagScale::Unit unit() const;
    bool automatic() const;
    bool discTime() const;

signals:
    // The operator changed the unit or the automatic scale.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();
    void remember();

    QWidget* slider;
    QSettings* store;
    QWidget* row = nullptr;
    QRadioButton* percent = nullptr;
    QRadioButton* perSecond = nullptr;
    QCheckBox* autoScale = nullptr;
    QCheckBox* discAxis = nullptr;
};

#endif // FLAGSCALEBAR_H
