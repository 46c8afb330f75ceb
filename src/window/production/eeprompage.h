#ifndef EEPROMPAGE_H
#define EEPROMPAGE_H

#include "production/eepromrun.h"
#include "production/fieldmemory.h"

#include <QObject>

class CD_Board;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QWidget;

// The EEPROM page: the board's parameter image as read (labels, and the editable fields where
// the operator has not changed them), the baud-rate, focus, date and laser-default choices, and
// the programming runs it starts with its values (the board's EepromRun writes and verifies;
// the page shows what the run reports).
class EepromPage : public QObject {
    Q_OBJECT

public:
    struct Parts {
        QWidget* window = nullptr; // parent of the question before the full run
        QWidget* page = nullptr;
        QLabel* status = nullptr;
        QProgressBar* progress = nullptr;
        QLabel* customerId = nullptr;
        QLabel* flashedBy = nullptr;
        QLabel* serial = nullptr;
        QLabel* date = nullptr;
        QLabel* onTime = nullptr;
        QLabel* slope = nullptr;
        QLabel* offset = nullptr;
        QLineEdit* customerIdField = nullptr;
        QLineEdit* flashedByField = nullptr;
        QLineEdit* serialField = nullptr;
        QDateEdit* dateField = nullptr;
        QLineEdit* slopeField = nullptr;
        QLineEdit* offsetField = nullptr;
        QLineEdit* audioByte = nullptr;
        QComboBox* loaders = nullptr;
        QComboBox* baudRate = nullptr;
        QComboBox* focus = nullptr;
        QLabel* baudWarning = nullptr;
        QLabel* runtimeWarning = nullptr;
        QCheckBox* dateToday = nullptr;
        QCheckBox* laserDefault = nullptr;
        QCheckBox* resetOnTime = nullptr;
        QCheckBox* incrementSerial = nullptr;
    };

    EepromPage(const Parts& parts, CD_Board& board, FieldMemory& fields, QObject* parent = nullptr);

    // The baud-rate and focus lists, each entry with the byte the EEPROM stores for it, showing
    // the link's rate and the board's focus hardware.
    void fillLists();
    // The service build's button for the full run and the label that says what both write.
    QPushButton* addFullRunButton();

    // ---- the image as read ----
    void showProductionRecord();
    void showRuntime();
    void showLaser();
    // k and d fitted on the laser page, into the fields the full run writes.
    void takeLaser(double slope, double offset);
    void showBaudSetting();
    void showFocusSetting();

    // ---- choices on the page ----
    void baudRateChosen(int index);
    void toggleDate();
    void toggleLaserDefault();
    void showRuntimeHint();

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

private:
    // The page's values into `image`; false, with the reason on the page, when a run cannot start.
    bool take(EepromRun::Kind kind, EepromParameters* image);

    Parts p;
    CD_Board& board;
    FieldMemory& fields;
    // A run is on (as the board's run last reported): the buttons and Return do nothing.
    bool runOn = false;
};

#endif // EEPROMPAGE_H
