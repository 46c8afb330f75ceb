#ifndef LASERPAGE_H
#define LASERPAGE_H

#include <QWidget>

#include <memory>

class CD_Board;
class QLabel;
class QPushButton;

namespace Ui {
class LaserPage;
}

// The laser calibration page: two points, each the mean of 1000 readings of the laser ADC, and
// the line through them; the service mode's laser button.
class LaserPage : public QWidget {
    Q_OBJECT

public:
    explicit LaserPage(CD_Board& board, QWidget* parent = nullptr);
    ~LaserPage() override;

    // Point 1 or 2 has its mean of the readings.
    void showPoint(int point);
    // The fitted k and d are used at once for the live current; they reach the EEPROM only
    // through the EEPROM page ("Use for EEPROM" puts them there).
    void fit();
    // How many of each point's readings have arrived.
    void showProgress();
    // The board reported the laser module off.
    void moduleOff();
    void showLaserButton(const QString& text);
    void showServiceWarning(bool shown);

signals:
    // "Use for EEPROM": the fitted k and d for the EEPROM page's fields.
    void useForEeprom(double slope, double offset);

private:
    std::unique_ptr<Ui::LaserPage> ui;
    CD_Board& board;
    QLabel* progress[2] = {};
    QPushButton* useButton = nullptr; // enabled once a line is fitted
    double fitted[2] = {};            // k and d of the last fit
};

#endif // LASERPAGE_H
