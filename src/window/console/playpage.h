#ifndef PLAYPAGE_H
#define PLAYPAGE_H

#include <QWidget>

#include <memory>

class PlayerPanel;

namespace Ui {
class PlayPage;
}

// The play page: the player's buttons, the time and track the board last reported, the disc ID
// and where the log file is kept.
class PlayPage : public QWidget {
    Q_OBJECT

public:
    explicit PlayPage(PlayerPanel& player, QWidget* parent = nullptr);
    ~PlayPage() override;

    // The time and track after a batch of frames.
    void showPosition(const QString& time, const QString& track);
    // Where the log file is stored, shown while log files are on.
    void showLogFile(const QString& path);
    void setLogFileShown(bool shown);
    void showServiceWarning(bool shown);

private:
    std::unique_ptr<Ui::PlayPage> ui;
};

#endif // PLAYPAGE_H
