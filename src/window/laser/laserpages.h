#ifndef LASERPAGES_H
#define LASERPAGES_H

#include <QObject>
#include <QString>

#include <functional>

class CD_Board;
class LaserList;
class QComboBox;
class QCustomPlot;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The laser pages: the two-point calibration (each point the mean of 1000 readings, the line
// through them), the ring of the last 64 readings and the zero-hour byte written from its
// average, the live current, and the laser history and zero-hour plots read from the board's
// memory.
class LaserPages : public QObject {
    Q_OBJECT

public:
    // One calibration point: its button, the mean and variance of its readings, the current
    // measured there and its unit.
    struct Point {
        QPushButton* button;
        QLineEdit* mean;
        QLineEdit* variance;
        QLineEdit* current;
        QComboBox* unit;
    };
    struct Parts {
        QWidget* window;    // parent of the question before erasing the history
        QWidget* laserPage; // holds the count of each point's readings
        Point points[2];
        QLabel* fitWarning;
        QLabel* slope;
        QLabel* offset;
        QPushButton* laserButton; // the service mode's laser button
        QLabel* historyMessage;
        QCustomPlot* plot;
        std::function<bool()> playing;     // the player plays a disc
        std::function<bool()> programming; // an EEPROM programming run is on
        std::function<void(const QString&)> endProgramming;
        // "Use for EEPROM": the fitted k and d into the EEPROM page's fields
        std::function<void(double, double)> useForEeprom;
    };

    LaserPages(const Parts& parts, CD_Board& board, const LaserList& readings,
               QObject* parent = nullptr);

    // ---- calibration ----
    // Point 1 or 2 has its mean of the readings.
    void showPoint(int point);
    // The fitted k and d are used at once for the live current; they reach the EEPROM only
    // through the EEPROM page ("Use for EEPROM" puts them there).
    void fit();
    // How many of each point's readings have arrived.
    void showProgress();
    // The board reported the laser module off.
    void moduleOff();

    // ---- history and zero-hour byte ----
    void readHistory();
    void readZeroHourByte();
    // Erasing destroys the board's only record of its laser: asked for first.
    void askErase();
    void exchangeFailed(const QString& text);
    // Graph 0: the history from the oldest to the newest sample over play time.
    void plotHistory(int runtime, int lastIndex, const quint8* values);
    // Graph 1: the zero-hour current across the shown play time; 0xFF means not set.
    void plotZeroHourByte(int value);

private:
    // The history lives in the board's memory: not while a disc plays, nor while a programming
    // run or another exchange waits for its replies. Says why not on the page.
    bool memoryAllowed();
    // Why no exchange can start now, whether a disc plays or not (empty: it can). One exchange at
    // a time: a second would take the first one's replies and the first would never end.
    QString memoryBusy() const;
    void showMessage(const QString& text);

    Parts p;
    CD_Board& board;
    const LaserList& readings;
    QLabel* progress[2] = {};
    QPushButton* useForEeprom = nullptr; // enabled once a line is fitted
    double fitted[2] = {};               // k and d of the last fit
};

#endif // LASERPAGES_H
