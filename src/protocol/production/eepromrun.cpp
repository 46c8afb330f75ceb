#include "production/eepromrun.h"

#include "board/responsedecoding.h"
#include "shell/logging.h"

using RD = ResponseDecoding;
using Block = EepromLayout::Block;

namespace {

struct StepView {
    EepromRun::Step step;
    int number;
    int progress;
    const char* text;
};

const StepView steps[] = {
    {EepromRun::Step::History, 0, 1, "Deleting Laser History"},
    {EepromRun::Step::Runtime, 1, 1, "Flashing Runtime"},
    {EepromRun::Step::Laser, 3, 2, "Flashing Laser Parameters"},
    {EepromRun::Step::Production, 5, 3, "Flashing Production Code"},
    {EepromRun::Step::Settings, 7, 4, "Flashing Loader Type, Audiobyte and baudrate"},
    {EepromRun::Step::Focus, 8, 5, "Flashing focus gain setting"},
    {EepromRun::Step::Done, 9, EepromRun::ProgressMaximum, "Flashing Complete and Succesfull!"},
};

const StepView& view(EepromRun::Step step) {
    for (const StepView& v : steps)
        if (v.step == step)
            return v;
    return steps[0];
}

// The address a memory frame (request or reply) names.
int addressOf(const QByteArray& frame) {
    return RD::byteAt(frame, 2) << 8 | RD::byteAt(frame, 3);
}

QString hex(char byte) {
    return QStringLiteral("%1").arg(static_cast<quint8>(byte), 2, 16, QLatin1Char('0')).toUpper();
}

} // namespace

EepromRun::EepromRun() {
    timer.setSingleShot(true);
}

int EepromRun::number(Step step) {
    return view(step).number;
}

void EepromRun::add(Step step, const QString& name, int address, const QByteArray& expected,
                    const QList<QByteArray>& writes) {
    int answers = 1;
    for (const QByteArray& write : writes)
        if (addressOf(write) == address && RD::byteAt(write, 1) == expected.size())
            ++answers;
    plan.append(Check{step, name, address, expected, writes, answers});
}

void EepromRun::addBlock(Step step, const QString& name, Block block) {
    const int address = EepromLayout::address(block);
    const QByteArray bytes = EepromLayout::blockBytes(block, image_);
    add(step, name, address, bytes, {EepromLayout::memoryWrite(address, bytes)});
}

void EepromRun::start(Kind kind, const EepromParameters& image, DecodeOutcome& out) {
    kind_ = kind;
    image_ = image;
    plan.clear();
    step_ = Step::Idle;
    if (kind == Kind::Full) {
        // each history row is filled with FF by two overlapping ten-byte writes
        for (int page = EepromLayout::HistoryFirstPage; page <= EepromLayout::HistoryLastPage;
             ++page)
            add(Step::History,
                QStringLiteral("Laser history page %1").arg(QString::number(page, 16).toUpper()),
                page << 8, QByteArray(16, char(0xFF)),
                {EepromLayout::historyEraseWrite(page, false),
                 EepromLayout::historyEraseWrite(page, true)});
        add(Step::Runtime, QStringLiteral("Laser on-time"), 0x0000, QByteArray(16, char(0)),
            {EepromLayout::runtimeClearWrite(1), EepromLayout::runtimeClearWrite(2)});
        image_.runtime_s = 0;
        addBlock(Step::Laser, QStringLiteral("Laser calibration"), Block::Laser);
        addBlock(Step::Production, QStringLiteral("Production record"), Block::Production);
    }
    addBlock(Step::Settings, QStringLiteral("Settings block"), Block::Settings);
    addBlock(Step::Focus, QStringLiteral("Focus hardware byte"), Block::Focus);
    qCDebug(dk61Eeprom) << "programming run of" << plan.size() << "checks";
    begin(0, out);
}

void EepromRun::begin(int next, DecodeOutcome& out) {
    index = next;
    seen = 0;
    const Check& check = plan.at(index);
    if (check.step != step_) {
        if (step_ != Step::Idle)
            out.add(BoardEvent::EepromStepConfirmed{number(check.step)});
        show(check.step);
    }
    for (const QByteArray& write : check.writes)
        out.send(write);
    out.send(EepromLayout::memoryRead(check.address, check.expected.size()));
    timer.start(timeoutPerRequestMs * (check.writes.size() + 1));
}

void EepromRun::onReply(const QByteArray& frame, DecodeOutcome& out) {
    if (!isRunning())
        return;
    const Check& check = plan.at(index);
    const int size = check.expected.size();
    // another stretch: the answer to a write of part of it, or a late reply of a check before
    if (frame.size() < 5 || addressOf(frame) != check.address || RD::byteAt(frame, 4) != size)
        return;
    const QByteArray data = frame.mid(5, size);
    if (data == check.expected) {
        qCDebug(dk61Eeprom) << check.name << "verified";
        if (index + 1 < plan.size()) {
            begin(index + 1, out);
            return;
        }
        timer.stop();
        show(Step::Done);
        out.add(BoardEvent::EepromStepConfirmed{number(Step::Done)});
        return;
    }
    // The answer to a write may show the cells as they were before it: the read-back decides.
    if (++seen < check.answers)
        return;
    int n = 0;
    while (n < data.size() && data.at(n) == check.expected.at(n))
        ++n;
    stop(QStringLiteral("Error: %1 did not verify: byte %2 reads %3 instead of %4!")
             .arg(check.name)
             .arg(n)
             .arg(n < data.size() ? hex(data.at(n)) : QStringLiteral("nothing"),
                  hex(check.expected.at(n))),
         out);
}

void EepromRun::stop(MemorySequence::Stop reason, DecodeOutcome& out) {
    if (!isRunning())
        return;
    const QString& name = plan.at(index).name;
    switch (reason) {
    case MemorySequence::Stop::Refused:
        stop(deniedText(), out);
        break;
    case MemorySequence::Stop::NoAnswer:
        stop(QStringLiteral("Error: no answer from the board (%1)!").arg(name), out);
        break;
    case MemorySequence::Stop::LinkClosed:
        stop(QStringLiteral("Error: the link to the board was lost (%1)!").arg(name), out);
        break;
    }
}

void EepromRun::stop(const QString& text, DecodeOutcome& out) {
    if (!isRunning())
        return;
    qCDebug(dk61Eeprom) << text;
    timer.stop();
    step_ = Step::Idle;
    progress_ = 0;
    text_ = text;
    out.add(BoardEvent::EepromStepConfirmed{BoardEvent::EepromStepConfirmed::Failed});
}

void EepromRun::show(Step step) {
    step_ = step;
    progress_ = view(step).progress;
    text_ = QString::fromLatin1(view(step).text);
}
