#ifndef SERVICEPANEL_H
#define SERVICEPANEL_H

#include "service/servicemode.h"

#include <QObject>

class CD_Board;

// What the service functions show: the service warnings of every page and the step marker of
// the service mode page as the board reports its steps, and the laser page's laser button.
class ServicePanel : public QObject {
    Q_OBJECT

public:
    ServicePanel(CD_Board& board, QObject* parent = nullptr);

    // The service mode's commands (nothing is sent where the mode refuses one).
    void start();
    void next();
    void gotoStep(int step);
    // The page changes when the board confirms the end.
    void exit();
    void laserButtonPressed();

    // The service build: warnings and markers hidden until the board calls for them.
    void hideUntilCalledFor();
    // A step the board reported (-1: it ended service mode).
    void showStep(int step);
    // Outside service mode there is nothing to leave (the laser button keeps its text), but the
    // page is cleared when it still shows a service mode the board never confirmed ending.
    void leave();

signals:
    // The text of the laser page's laser button.
    void laserButtonShown(const QString& text);
    // The service warnings of every page are shown or hidden.
    void warningsShown(bool shown);
    // The service mode page marks this step (0: none).
    void stepMarked(int step);

private:
    void show(const ServiceMode::View& view, bool laserButton);
    CD_Board& board;
    ServiceMode& mode;
    // The warnings are shown: the board reported a step and no end since.
    bool showsServiceMode = false;
};

#endif // SERVICEPANEL_H
