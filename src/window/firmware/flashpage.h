#ifndef FLASHPAGE_H
#define FLASHPAGE_H

#include <QMetaObject>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class IspRun;
class QSettings;

namespace Ui {
class FlashPage;
}

// The flash page: the hex file (remembered as "hexFilename" once flashed), and the run of the
// ISP tool (IspRun) on the board link's port, which the link leaves to the tool for the length of
// the run. The flash button starts a run, or aborts the one in progress.
class FlashPage : public QWidget {
    Q_OBJECT

public:
    // The board link's port, which the tool takes for the length of a run.
    struct Port {
        std::function<QString()> name;
        std::function<void()> release; // before the tool starts
        std::function<void()> resume;  // after it ended, however it ended
    };

    FlashPage(Port port, QSettings& settings, QWidget* parent = nullptr);
    // Kills a tool still running and waits for it; the board link is not restarted.
    ~FlashPage() override;

    // Searches the program's directory, then PATH, for the ISP tool (lpc21isp.exe or lpc21isp)
    // that can be run.
    static QString findIspTool(const QString& programDir);
    // Where the tool was found (empty: the page says it cannot flash and the button does nothing).
    void setToolPath(const QString& path);
    QString toolPath() const { return tool; }
    void setHexFile(const QString& path);
    QString hexFile() const { return hex; }
    QString hexDirectory() const { return hexDir; }
    // The file stored by an earlier session.
    void restoreHexFile();

    void browse();
    // The button while idle, and Return on the flash page.
    void flash();
    void showOutput(const QString& text);
    // Every run ends here, a tool that could not be started included.
    void finished(bool success);
    void abort();
    void showServiceWarning(bool shown);
    // The delivered tool shows no tool output.
    void hideOutput();

    IspRun& run() const { return *ispRun; }
    bool running() const;

private:
    void wireButton(bool running);

    std::unique_ptr<Ui::FlashPage> ui;
    Port port;
    QSettings& settings;
    IspRun* ispRun = nullptr;
    QString tool;
    QString hex;
    QString hexDir;
    bool hexKnown = false;
    QMetaObject::Connection buttonConnection;
};

#endif // FLASHPAGE_H
