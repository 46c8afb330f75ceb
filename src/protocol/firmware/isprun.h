#ifndef ISPRUN_H
#define ISPRUN_H

#include "firmware/groupprocess.h"
#include "firmware/ispoutputparser.h"
#include "firmware/outputtail.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

// One run of the external ISP tool (lpc21isp) that writes a hex file into the flash of an NXP
// LPC microcontroller through its serial bootloader. The board link must have released the
// port before start() and may take it back once finished() has come.
//
// The tool gets its arguments as a list, never as a command string, so a path with blanks stays
// one argument. Success needs both a normal exit with SuccessExitCode and the tool's line
// "Download Finished and Verified correct...".
//
// The tool runs in a process group of its own: Abort, a tool that stays silent too long and the
// end of the run object end the whole group, so nothing it started keeps the port. What it
// prints reaches the page in batches and bounded (the last ShownLines lines, none longer than
// ShownLineLength); neither the run nor its parser keeps more.
class IspRun : public QObject {
    Q_OBJECT

public:
    enum class Component { DK6x, HLB6x };
    Q_ENUM(Component)
    enum class Step { Idle, Running, Succeeded, Failed };
    Q_ENUM(Step)

    // lpc21isp ends a verified download by starting the new code with "G"; it reports the reply
    // to that as 0x1700 (plus the bootloader's answer, 0). Windows passes the whole value on;
    // a POSIX exit status keeps its low 8 bits, so Debian's lpc21isp 1.97 exits with 0.
#ifdef Q_OS_WIN
    static constexpr int SuccessExitCode = 5888;
#else
    static constexpr int SuccessExitCode = 0;
#endif

    static constexpr int ShownLines = 2000;
    static constexpr int ShownLineLength = 400;
    // A tool that prints nothing for this long is ended and the run fails.
    static constexpr int DefaultSilenceLimitMs = 60000;

    explicit IspRun(QObject* parent = nullptr);
    // Kills a tool still running and waits for it, without reporting, so no orphan keeps the port.
    ~IspRun() override;

    void setSilenceLimit(int ms) {
        silence.setInterval(ms);
    }

    // -wipe -verify <hex file> <port> <bit rate> <crystal in kHz>
    static QStringList arguments(const QString& hexPath, const QString& portName,
                                 Component component);

    // The name the tool opens the port by: the device path on Linux ("ttyUSB0" becomes
    // "/dev/ttyUSB0", a virtual bridge is a path already), the port name elsewhere ("COM3").
    static QString devicePath(const QString& portName);

    // Why start() would start nothing (a run in progress, not a .hex file, no port, a file the
    // tool would flash damaged: HexFile); empty when it would start the tool. The port can be
    // released for the tool once this is empty.
    QString refusal(const QString& hexPath, const QString& portName) const;

    // Starts the tool. Returns the text for the file error label: empty when the tool is being
    // started, otherwise why nothing was started. finished() always comes later, from the event
    // loop or from abort(), never from within start().
    QString start(const QString& toolPath, const QString& hexPath, const QString& portName,
                  Component component);
    // Kills a running tool and waits for it; the run ends as aborted by the operator.
    void abort();

    Step step() const {
        return current;
    }
    bool isRunning() const {
        return current == Step::Running;
    }

signals:
    // The tool's output (standard output and error) for the page's view, a batch at a time:
    // the lines since the last batch, line ends "\n", a line may go on in the next batch.
    void outputShown(const QString& text);
    // New values for the progress bar (0 to 8) and the status label, only when they change.
    void progressChanged(int value);
    void labelChanged(const QString& text);
    // The run is over; text is the status label's final text.
    void finished(bool success, const QString& text);

private:
    enum class Stop { None, Aborted, Silent };

    void readOutput();
    void show(const QByteArray& chunk);
    void showBatch();
    void stop(Stop reason);
    void processFinished(int exitCode, QProcess::ExitStatus status);
    void processError(QProcess::ProcessError error);
    void setProgress(int value);
    void setLabel(const QString& text);
    void end(bool success, const QString& text);

    GroupProcess* process;
    IspOutputParser parser;
    OutputTail shown{ShownLines, ShownLineLength};
    QTimer batch;   // collects output for the view
    QTimer silence; // restarted by every output
    Stop stopped = Stop::None;
    Step current = Step::Idle;
    int progress = -1;
    QString label;
};

#endif // ISPRUN_H
