#ifndef SERVICEPANEL_H
#define SERVICEPANEL_H

#include "service/servicemode.h"
#include "service/traycalibration.h"

#include <QObject>

#include <functional>

class CD_Board;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// What the service functions show: the service warnings of every page and the step marker of
// the service mode page as the board reports its steps, the laser page's laser button, and the
// DK-Tria tray calibration group (offered when the EEPROM names that loader), whose commands go
// out through the typed-request line.
class ServicePanel : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QWidget* window; // holds the warnings and the step markers
        QGroupBox* calibration;
        QLabel* calibrationHint;
        QLineEdit* brakeDistance;
        std::function<void(const QString&)> sendCommandText;
    };

    ServicePanel(const Parts& parts, CD_Board& board, QObject* parent = nullptr);

    // The service mode's commands (nothing is sent where the mode refuses one).
    void start();
    void next();
    void gotoStep(int step);
    // The page changes when the board confirms the end.
    void exit();
    void laserButtonPressed();

    // The service build: warnings, markers and the calibration group hidden until the board
    // calls for them.
    void hideUntilCalledFor();
    // A step the board reported (-1: it ended service mode).
    void showStep(int step);
    // Outside service mode there is nothing to leave (the laser button keeps its text), but the
    // page is cleared when it still shows a service mode the board never confirmed ending.
    void leave();

    // The EEPROM names the loader calibrated from the tool (or another one).
    void offerTrayCalibration(bool offered);
    void calibrationReset();
    void calibrationSetDistance();
    void calibrationSetTiming();

signals:
    // The text of the laser page's laser button.
    void laserButtonShown(const QString& text);

private:
    void show(const ServiceMode::View& view, bool laserButton);
    void apply(const TrayCalibration::Press& press);

    Parts p;
    CD_Board& board;
    ServiceMode& mode;
    TrayCalibration tray;
    // Why a brake distance was not sent (beside the tray calibration's hint).
    QLabel* brakeDistanceWarning = nullptr;
    // The warnings are shown: the board reported a step and no end since.
    bool showsServiceMode = false;
};

#endif // SERVICEPANEL_H
