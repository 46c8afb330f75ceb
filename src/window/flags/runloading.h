#ifndef RUNLOADING_H
#define RUNLOADING_H

#include "flags/runfileloader.h"

#include <QString>

class QWidget;

class RunSummary;

// Reads a saved run (a flag file or an exported run) for the window: the file is read on a thread
// of its own while the window's events go on, and a progress dialog with "Cancel" comes up when
// the read takes longer than ShowAfterMs. Returns when the read is over: true with the run read,
// false when it failed (`error` says why) or was cancelled (`error` empty). The program ending
// meanwhile (its event loop told to quit) cancels the read. With a `summary`, the run read is
// added up into it (with the limits it has) off the window's thread as well.
class RunLoading {
public:
    static constexpr int ShowAfterMs = 300;

    static bool load(const QString& path, QWidget* parent, RunFileLoader::Result* outcome,
                     RunSummary* summary = nullptr);
};

#endif // RUNLOADING_H
