#ifndef EEPROMPAGE_H
#define EEPROMPAGE_H

#include "production/eepromrun.h"
#include "production/fieldmemory.h"
#include "service/traycalibration.h"

#include <QWidget>

#include <memory>

class CD_Board;
class QLabel;
class QPushButton;

namespace Ui {
class EepromPage;
}

// The EEPROM page: the board's parameter image as read (labels, and the editable fields where
// the operator has not changed them), the baud-rate, focus, date and laser-default choices, the
// board's list of loaders with the one its EEPROM names, and the programming runs it starts with
// its values (the board's EepromRun writes and verifies; the page shows what the run reports).
// The DK-Tria tray calibration group is offered when the EEPROM names that loader; its commands
// go out through the console's typed-request line.
class EepromPage : public QWidget {
    Q_OBJECT

public:
    explicit EepromPage(CD_Board& board, QWidget* parent = nullptr);
    ~EepromPage() override;

    // The baud-rate and focus lists, each entry with the byte the EEPROM stores for it, showing
    // the link's rate and the board's focus hardware.
    void fillLists();
    // The service build's button for the full run and the label that says what both write.
    void offerFullRun();
    // The delivered tool: the production fields are shown, not edited.
    void lockProductionFields();
    void showServiceWarning(bool shown);

    // ---- the image as read ----
    void showProductionRecord();
    void showRuntime();
    void showLaser();
    // k and d fitted on the laser page, into the fields the full run writes.
    void takeLaser(double slope, double offset);
    void showBaudSetting();
    void showFocusSetting();
    // The audio byte as composed on its page.
    void setAudioByte(const QString& text);

    // ---- choices on the page ----
    void baudRateChosen(int index);
    void toggleDate();
    void toggleLaserDefault();
    void showRuntimeHint();

    // ---- the loader list: a combo entry and a line of the list label per supported code,
    // behind the placeholder "None" ----
    void clearLoaders();
    void addLoader(const QString& text, int code);
    // Makes the entry of a loader code current; the placeholder is never selected this way.
    bool selectLoader(int code);
    // The operator chose entry `index`: its code becomes the board's loader type.
    void chooseLoader(int index);
    // The loader the EEPROM names, and the tray calibration when it is the one calibrated from
    // the tool.
    void showEepromLoader();

    // ---- the DK-Tria tray calibration ----
    void offerTrayCalibration(bool offered);
    void calibrationReset();
    void calibrationSetDistance();
    void calibrationSetTiming();

    // ---- programming runs ----
    // Starts a run with the page's values, or says on the page why it cannot start now.
    void start(EepromRun::Kind kind);
    // The full run, after the operator confirmed it.
    void askFullRun();
    // The run reported progress, an end or a refusal; true when it has verified everything.
    bool showRun(int step = -1);
    // Ends a run that did not complete, with the reason.
    void end(const QString& text);
    bool running() const { return runOn; }

signals:
    // The run ended with its last step confirmed.
    void programmed();
    // A command for the typed-request line (the tray calibration's).
    void commandText(const QString& text);
    // The audio byte read from the board is shown (the operator had not set another one since
    // the last read).
    void audioByteShown(quint8 value);

private:
    void wireBoard();
    void showAudioByteRead();
    // The page's values into `image`; false, with the reason on the page, when a run cannot start.
    bool take(EepromRun::Kind kind, EepromParameters* image);
    void apply(const TrayCalibration::Press& press);

    std::unique_ptr<Ui::EepromPage> ui;
    CD_Board& board;
    FieldMemory fields;
    TrayCalibration tray;
    // Why a brake distance was not sent (beside the tray calibration's hint).
    QLabel* brakeDistanceWarning = nullptr;
    // A run is on (as the board's run last reported): the buttons and Return do nothing.
    bool runOn = false;
};

#endif // EEPROMPAGE_H
