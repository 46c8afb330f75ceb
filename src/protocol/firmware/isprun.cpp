#include "firmware/isprun.h"

#include "firmware/hexfile.h"
#include "shell/logging.h"

namespace {

const QString WrongFileText = QStringLiteral("Error: You must select a .hex - file to flash");
const QString NoPortText = QStringLiteral("Error: No serial port to flash through");
const QString BusyText = QStringLiteral("Error: Firmware is being flashed already");
const QString FailedText = QStringLiteral("Failed Flashing Firmware, Error ");
const QString AbortedText = QStringLiteral("Flashing Firmware aborted by the operator");
const QString SilentText = QStringLiteral("Failed Flashing Firmware, the flash tool printed "
                                          "nothing for %1 s");

// How long a killed tool gets to disappear.
constexpr int KillWaitMs = 5000;
// How long output collects before the view gets it.
constexpr int BatchMs = 100;

} // namespace

IspRun::IspRun(QObject* parent) : QObject(parent), process(new GroupProcess(this)) {
    // Nothing is written to the tool; it reads an empty input.
    process->setStandardInputFile(QProcess::nullDevice());
    batch.setSingleShot(true);
    batch.setInterval(BatchMs);
    silence.setSingleShot(true);
    silence.setInterval(DefaultSilenceLimitMs);
    connect(&batch, &QTimer::timeout, this, &IspRun::showBatch);
    connect(&silence, &QTimer::timeout, this, [this] { stop(Stop::Silent); });
    connect(process, &QProcess::readyReadStandardOutput, this, &IspRun::readOutput);
    connect(process, &QProcess::readyReadStandardError, this,
            [this] { show(process->readAllStandardError()); });
    connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), this,
            &IspRun::processFinished);
    connect(process, &QProcess::errorOccurred, this, &IspRun::processError);
}

IspRun::~IspRun() {
    if (process->state() == QProcess::NotRunning)
        return;
    process->disconnect(this);
    process->killGroup(KillWaitMs);
}

QStringList IspRun::arguments(const QString& hexPath, const QString& portName,
                              Component component) {
    QStringList list{"-wipe", "-verify", hexPath, portName};
    if (component == Component::DK6x)
        list << "38400"
             << "16934";
    else
        list << "19200"
             << "11059";
    return list;
}

QString IspRun::devicePath(const QString& portName) {
#ifdef Q_OS_WIN
    return portName;
#else
    if (portName.isEmpty() || portName.startsWith(QLatin1Char('/')))
        return portName;
    return QStringLiteral("/dev/") + portName;
#endif
}

QString IspRun::refusal(const QString& hexPath, const QString& portName) const {
    if (current == Step::Running)
        return BusyText;
    if (!hexPath.endsWith(QLatin1String(".hex")))
        return WrongFileText;
    if (portName.isEmpty())
        return NoPortText;
    return HexFile::check(hexPath);
}

QString IspRun::start(const QString& toolPath, const QString& hexPath, const QString& portName,
                      Component component) {
    const QString refused = refusal(hexPath, portName);
    if (!refused.isEmpty())
        return refused;

    parser.reset();
    shown.clear();
    stopped = Stop::None;
    current = Step::Running;
    setProgress(0);
    setLabel(QStringLiteral("Synchronising...."));
    const QStringList args = arguments(hexPath, portName, component);
    qCDebug(dk61Firmware) << "starting" << toolPath << args;
    process->start(toolPath, args, QIODevice::ReadOnly);
    silence.start();
    return QString();
}

void IspRun::abort() {
    stop(Stop::Aborted);
}

void IspRun::stop(Stop reason) {
    if (process->state() == QProcess::NotRunning)
        return;
    qCDebug(dk61Firmware) << "killing the ISP tool" << int(reason);
    stopped = reason;
    process->killGroup(KillWaitMs);
}

void IspRun::show(const QByteArray& chunk) {
    if (chunk.isEmpty())
        return;
    qCDebug(dk61Firmware) << chunk;
    silence.start();
    shown.append(QString::fromLocal8Bit(chunk));
    if (!batch.isActive())
        batch.start();
}

void IspRun::showBatch() {
    if (!shown.isEmpty())
        emit outputShown(shown.take());
}

void IspRun::readOutput() {
    const QByteArray chunk = process->readAllStandardOutput();
    show(chunk);
    for (const IspOutputParser::Update& update : parser.feed(chunk)) {
        if (update.progress >= 0)
            setProgress(update.progress);
        if (!update.label.isEmpty())
            setLabel(update.label);
    }
}

void IspRun::processFinished(int exitCode, QProcess::ExitStatus status) {
    qCDebug(dk61Firmware) << "FLASHING PROGRAM ENDED" << exitCode << status;
    if (current != Step::Running)
        return;
    readOutput();
    if (stopped != Stop::None) {
        end(false,
            stopped == Stop::Aborted ? AbortedText : SilentText.arg(silence.interval() / 1000.0));
        return;
    }
    const bool normalExit = status == QProcess::NormalExit && exitCode == SuccessExitCode;
    if (normalExit && parser.downloadVerified()) {
        end(true, QStringLiteral("Flashing Complete and Successful!"));
        return;
    }
    // An 8-bit exit status can be 0 after a failure too (0x1200 and the like): without the
    // tool's verified line the exit code alone proves nothing.
    QString text = FailedText + QString::number(exitCode);
    if (normalExit)
        text += QStringLiteral(", download not verified");
    end(false, text);
}

void IspRun::processError(QProcess::ProcessError error) {
    // A tool that never started sends no finished(); every other error comes with one.
    if (error != QProcess::FailedToStart || current != Step::Running)
        return;
    const QString text = QStringLiteral("Failed Flashing Firmware, cannot start %1: %2")
                             .arg(process->program(), process->errorString());
    qCDebug(dk61Firmware) << text;
    QMetaObject::invokeMethod(
        this, [this, text] { end(false, text); }, Qt::QueuedConnection);
}

void IspRun::setProgress(int value) {
    if (value == progress)
        return;
    progress = value;
    emit progressChanged(value);
}

void IspRun::setLabel(const QString& text) {
    if (text == label)
        return;
    label = text;
    emit labelChanged(text);
}

void IspRun::end(bool success, const QString& text) {
    if (current != Step::Running)
        return;
    silence.stop();
    batch.stop();
    showBatch();
    current = success ? Step::Succeeded : Step::Failed;
    // A failed run does not leave the bar looking complete.
    if (!success)
        setProgress(0);
    setLabel(text);
    emit finished(success, text);
}
