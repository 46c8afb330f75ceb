#ifndef LASERCURRENTPAGE_H
#define LASERCURRENTPAGE_H

#include <QWidget>

#include <functional>
#include <memory>

class CD_Board;
class PlayerPanel;

namespace Ui {
class LaserCurrentPage;
}

// The laser current page: the laser history and the zero-hour current read from the board's
// memory, plotted over play time, and the player's buttons with the time and track.
class LaserCurrentPage : public QWidget {
    Q_OBJECT

public:
    // `memoryBusy` says why no exchange with the board's memory can start now (empty: it can);
    // `programming` whether an EEPROM programming run is on, which ends with a failed exchange.
    LaserCurrentPage(CD_Board& board, PlayerPanel& player, std::function<QString()> memoryBusy,
                     std::function<bool()> programming, QWidget* parent = nullptr);
    ~LaserCurrentPage() override;

    void readHistory();
    void readZeroHourByte();
    // Erasing destroys the board's only record of its laser: asked for first.
    void askErase();
    void exchangeFailed(const QString& text);
    // Graph 0: the history from the oldest to the newest sample over play time.
    void plotHistory(int runtime, int lastIndex, const quint8* values);
    // Graph 1: the zero-hour current across the shown play time; 0xFF means not set.
    void plotZeroHourByte(int value);

    // The time and track after a batch of frames.
    void showPosition(const QString& time, const QString& track);
    void hidePlayer();
    // Lays the page (`page` its size) out for a window of W x H: the player bar at the bottom,
    // the history buttons above it, the plot above them.
    void fitWindow(const QSize& page, int W, int H);

private:
    // The history lives in the board's memory: not while a disc plays, nor while a programming
    // run or another exchange waits for its replies. Says why not on the page.
    bool memoryAllowed();
    void showMessage(const QString& text);

    std::unique_ptr<Ui::LaserCurrentPage> ui;
    CD_Board& board;
    PlayerPanel& player;
    std::function<QString()> memoryBusy;
    std::function<bool()> programming;
};

#endif // LASERCURRENTPAGE_H
