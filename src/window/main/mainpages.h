#ifndef MAINPAGES_H
#define MAINPAGES_H

#include "console/consolepage.h"
#include "console/playerpanel.h"
#include "console/playpage.h"
#include "firmware/flashpage.h"
#include "flags/flagspage.h"
#include "laser/lasercurrentpage.h"
#include "laser/laserpage.h"
#include "production/audiobytepage.h"
#include "production/eeprompage.h"
#include "production/servopage.h"
#include "service/servicemodepage.h"
#include "service/servicepanel.h"

#include <QString>

#include <memory>

class CD_Board;
class Focus_Coefs;
class LaserList;
class QMainWindow;
class QSettings;
class QTabWidget;

// The main window's pages in tab order, with the panels they share: built into the tab widget
// (the delivered tool shows the console and flags pages only), wired among themselves, laid out
// for the window's size.
class MainPages {
public:
    // What the window lends the pages: its clock, log file and directory, the board's port.
    struct Window {
        ConsolePage::Services console;
        FlashPage::Port port;
    };

    MainPages(CD_Board& board, QSettings& settings, Focus_Coefs& focusCoefs, LaserList& laserList,
              QTabWidget& tabs, bool delivered, Window window);
    ~MainPages();

    PlayerPanel& player() const { return *playerPanel; }
    PlayPage& play() const { return *playPage; }
    ConsolePage& console() const { return *consolePage; }
    FlagsPage& flags() const { return *flagsPage; }
    EepromPage& eeprom() const { return *eepromPage; }
    ServoPage& servo() const { return *servoPage; }
    AudioBytePage& audioByte() const { return *audioBytePage; }
    FlashPage& flash() const { return *flashPage; }
    LaserPage& laser() const { return *laserPage; }
    LaserCurrentPage& laserCurrent() const { return *laserCurrentPage; }
    ServicePanel& service() const { return *servicePanel; }
    // Ends an ISP tool still running (killed and waited for, so that no orphan keeps the port).
    void closeFlashPage() { flashPage.reset(); }

    // Why no exchange with the board's memory can start now (empty: it can).
    QString memoryBusy() const;
    // The pages pass on to each other what they show; a full EEPROM run only in the service build.
    void wire(bool service);
    // What the service build leaves out: its warnings and step markers, the second link.
    void applyDeliveredConfiguration(QMainWindow& window);
    // Lays the pages out for a window of W x H: what grows with the window and what keeps to its
    // right or bottom edge.
    void relayout(int W, int H);

private:
    CD_Board& board;
    QTabWidget& tabs;
    std::unique_ptr<PlayerPanel> playerPanel;
    PlayPage* playPage = nullptr;
    ConsolePage* consolePage = nullptr;
    FlagsPage* flagsPage = nullptr;
    EepromPage* eepromPage = nullptr;
    ServoPage* servoPage = nullptr;
    AudioBytePage* audioBytePage = nullptr;
    std::unique_ptr<FlashPage> flashPage;
    LaserPage* laserPage = nullptr;
    LaserCurrentPage* laserCurrentPage = nullptr;
    std::unique_ptr<ServicePanel> servicePanel;
    ServiceModePage* serviceModePage = nullptr;
};

#endif // MAINPAGES_H
