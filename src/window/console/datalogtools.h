#ifndef DATALOGTOOLS_H
#define DATALOGTOOLS_H

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TrafficLogEdit;
class TrafficView;

// The Data Log's controls, in bands above and below the lines: "Hide flag records" (the CFLAG
// lines, at the shortest interval thirty a second, are left out of the view, and come back when
// it is unticked; the log file keeps them all), "Pause" (the view stands still while the operator
// reads; the lines wait, the button says how many, and show on resume), "Save view..." (a file
// named by the date and time in the logs folder, unless the operator names another) and "Clear
// view"; below, a search field that marks every place the text occurs and goes to them with
// "Next" and "Previous" (or Return).
class DataLogTools : public QObject {
    Q_OBJECT

public:
    // At most this many places are marked at once.
    static constexpr int MaxMarks = 2000;

    // `logDirectory` names the log directory in force (may be empty).
    DataLogTools(TrafficLogEdit* view, TrafficView& feed, std::function<QString()> logDirectory,
                 QObject* parent = nullptr);

    // Where "Save view..." writes, given the file it proposes (the file dialog unless a test sets
    // it; empty: cancelled).
    std::function<QString(const QString& proposed)> chooseSaveFile;

    // The next place from the cursor (or the last one before it), or from the end.
    void find(bool backward, bool fromEnd = false);
    void saveView();
    void clearView();

private:
    void hideFlagRecords(bool hide);
    void showPause(int waiting);
    void markAll();
    void tell(const QString& text);

    TrafficLogEdit* view;
    TrafficView& feed;
    std::function<QString()> logDirectory;
    QCheckBox* hideFlags;
    QPushButton* pause;
    QLineEdit* search;
    QLabel* searchResult;
    QLabel* note;
    QVector<int> places;
};

#endif // DATALOGTOOLS_H
