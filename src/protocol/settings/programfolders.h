#ifndef PROGRAMFOLDERS_H
#define PROGRAMFOLDERS_H

#include <QString>
#include <QStringList>

// The folders the tool keeps its files in, and the guard that keeps a save, an export or a report
// from putting a file where one of them belongs.
//
// The standard folders are a "DK-61 PC-Tool" folder in the user's documents with one folder per
// kind of file in it ("Logs", "Flags", "Reports"). Where one cannot be made because a file stands
// where it (or a folder above it) belongs, the same kind of folder in the tool's application data
// folder is used instead: the spare folder.
namespace ProgramFolders {

// The kinds of folder the tool keeps in its documents folder.
QStringList kinds();
// The standard folder of a kind (empty where the system names no documents folder).
QString standard(const QString& kind);
// The folder of a kind in the tool's application data folder.
QString spare(const QString& kind);

// The documents folder, the tool's folder in it and the folder of every kind, then every folder
// given to setConfigured().
QStringList all();
// The log and flag directories the settings in force name count among the tool's folders too.
void setConfigured(const QStringList& folders);
// The files `owner` keeps open (the log file, the flag file, the results database): none is
// written over either.
void setInUse(const QString& owner, const QStringList& files);

// The nearest of `folder` and the folders above it that exists but is not a folder (the file in
// the way of making it); empty when there is none.
QString fileInTheWay(const QString& folder);

// The folder of a kind to save in: `preferred` when it is a folder, else the standard folder,
// else the spare one, whichever is first made (or already there); empty when none can be.
QString usable(const QString& kind, const QString& preferred = QString());

// Why no file may be written at `path`: it would take the place of one of `folders`, or of a
// folder above one, or of a file in use. Empty when it may.
QString refusal(const QString& path, const QStringList& folders);
inline QString refusal(const QString& path) {
    return refusal(path, all());
}

} // namespace ProgramFolders

#endif // PROGRAMFOLDERS_H
