#ifndef EEPROMRUN_H
#define EEPROMRUN_H

#include "board/boardevents.h"
#include "board/memorysequence.h"
#include "production/eepromlayout.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTimer>
#include <QVector>

// One programming run of the board's EEPROM. Its plan, made once at the start, is a list of
// checks: each writes one stretch of the EEPROM, reads it back and compares every byte; the
// next check starts only when the board has shown the bytes as written, in the write's own
// answer or in the read-back. "Flash to Eeprom" writes the settings block and the focus byte;
// "Program all parameters..." first erases the sixteen laser history rows and the laser on-time,
// then writes the laser calibration and the production record as well. The run ends at the
// first check that fails: bytes that differ, a refused write, no answer within a second per
// request, or the link closing.
class EepromRun {
public:
    enum class Kind { Settings, Full };
    enum class Step { Idle, History, Runtime, Laser, Production, Settings, Focus, Done };
    static constexpr int TimeoutPerRequestMs = 1000;
    static constexpr int ProgressMaximum = 6;

    EepromRun();

    // Starts a run that writes `image`; its first requests go into `out`.
    void start(Kind kind, const EepromParameters& image, DecodeOutcome& out);
    // A memory reply while the run is on.
    void onReply(const QByteArray& frame, DecodeOutcome& out);
    // Ends the run without success: the board refused a write (0x98), the running check got no
    // answer in time (the timer's time-out), the link closed; or for the reason given.
    void stop(MemorySequence::Stop reason, DecodeOutcome& out);
    void stop(const QString& text, DecodeOutcome& out);

    bool isRunning() const { return step_ != Step::Idle && step_ != Step::Done; }
    Step step() const { return step_; }
    Kind kind() const { return kind_; }
    // What the page shows: progress 0..6 and the text of the step, or how the run ended.
    int progress() const { return progress_; }
    QString text() const { return text_; }
    // What the run writes; after a run that succeeded, what the board holds.
    const EepromParameters& image() const { return image_; }
    // The number the window's steps carry (recievedEepromParameters): 0 history, 1 on-time,
    // 3 laser, 5 production record, 7 settings, 8 focus, 9 done.
    static int number(Step step);
    static QString deniedText() { return QStringLiteral("Error: Write Access to EEPROM denied!"); }

    // Restarted with every check, for TimeoutPerRequestMs (or as set) per request of the check;
    // its time-out ends the run.
    QTimer timer;
    void setTimeoutPerRequest(int ms) { timeoutPerRequestMs = ms; }

private:
    struct Check {
        Step step;
        QString name; // of the stretch, for the operator: "Laser on-time"
        int address;
        QByteArray expected;
        QList<QByteArray> writes;
        int answers; // replies that carry the stretch: the read-back, and a write of it all
    };
    void add(Step step, const QString& name, int address, const QByteArray& expected,
             const QList<QByteArray>& writes);
    void addBlock(Step step, const QString& name, EepromLayout::Block block);
    void begin(int index, DecodeOutcome& out);
    void show(Step step);

    Kind kind_ = Kind::Settings;
    Step step_ = Step::Idle;
    int progress_ = 0;
    QString text_;
    EepromParameters image_;
    QVector<Check> plan;
    int index = 0;
    int seen = 0; // replies of the running check so far
    int timeoutPerRequestMs = TimeoutPerRequestMs;
};

#endif // EEPROMRUN_H
