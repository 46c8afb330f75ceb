#include "console/datalogtools.h"

#include "common/plaintext.h"
#include "console/textsearch.h"
#include "console/trafficline.h"
#include "console/trafficlogedit.h"
#include "console/trafficview.h"
#include "settings/programfolders.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>

namespace {

template <typename T> T* named(T* widget, const char* name, const QString& accessibleName) {
    widget->setObjectName(QLatin1String(name));
    widget->setAccessibleName(accessibleName);
    return widget;
}

QPushButton* button(const char* name, const QString& text) {
    return named(new QPushButton(text), name, text);
}

QWidget* band(const char* name, std::initializer_list<QWidget*> widgets, QWidget* stretching) {
    auto* row = new QWidget;
    row->setObjectName(QLatin1String(name));
    // The controls read like the rest of the window, not in the view's fixed-pitch face.
    row->setFont(QApplication::font());
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 2, 4, 2);
    for (QWidget* w : widgets)
        layout->addWidget(w, w == stretching ? 1 : 0);
    return row;
}

} // namespace

DataLogTools::DataLogTools(TrafficLogEdit* view, TrafficView& feed,
                           std::function<QString()> logDirectory, QObject* parent)
    : QObject(parent), view(view), feed(feed), logDirectory(std::move(logDirectory)) {
    view->setAccessibleName(QStringLiteral("Data Log"));
    const QString hideText = QStringLiteral("Hide flag records");
    hideFlags = named(new QCheckBox(hideText), "hideFlagRecords", hideText);
    pause = button("pauseView", QStringLiteral("Pause"));
    pause->setCheckable(true);
    QPushButton* save = button("saveView", QStringLiteral("Save view..."));
    QPushButton* clear = button("clearView", QStringLiteral("Clear view"));
    note = named(new QLabel, "viewNote", QString());
    note->setTextFormat(Qt::PlainText);
    // A long path is cut at the band's end (and shown whole as the tip).
    note->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    search = named(new QLineEdit, "searchField", QStringLiteral("Find"));
    search->setPlaceholderText(QStringLiteral("Find"));
    search->setClearButtonEnabled(true);
    QPushButton* previous = button("findPrevious", QStringLiteral("Previous"));
    QPushButton* next = button("findNext", QStringLiteral("Next"));
    searchResult = named(new QLabel, "searchResult", QString());
    searchResult->setMinimumWidth(
        searchResult->fontMetrics().horizontalAdvance(QStringLiteral("9999 of 9999")));
    view->setBands(band("dataLogTools", {hideFlags, pause, save, clear, note}, note),
                   band("dataLogSearch", {search, previous, next, searchResult}, search));

    connect(hideFlags, &QCheckBox::toggled, this, &DataLogTools::hideFlagRecords);
    connect(pause, &QPushButton::toggled, this, [this](bool on) {
        if (!on)
            showPause(0);
        this->feed.setPaused(on);
    });
    connect(&feed, &TrafficView::waitingChanged, this, &DataLogTools::showPause);
    connect(save, &QPushButton::clicked, this, &DataLogTools::saveView);
    connect(clear, &QPushButton::clicked, this, &DataLogTools::clearView);
    connect(search, &QLineEdit::textChanged, this, [this] { find(true, true); });
    connect(search, &QLineEdit::returnPressed, this, [this] { find(false); });
    connect(next, &QPushButton::clicked, this, [this] { find(false); });
    connect(previous, &QPushButton::clicked, this, [this] { find(true); });
    chooseSaveFile = [view](const QString& proposed) {
        return QFileDialog::getSaveFileName(view->window(), QStringLiteral("Save view"), proposed,
                                            QStringLiteral("Text files (*.txt)"));
    };
}

void DataLogTools::hideFlagRecords(bool hide) {
    feed.setHidden(hide ? &TrafficLine::isFlagRecord : nullptr);
    markAll();
}

void DataLogTools::showPause(int waiting) {
    const QString text = pause->isChecked() ? QStringLiteral("Resume (%1 waiting)").arg(waiting)
                                            : QStringLiteral("Pause");
    if (pause->text() == text)
        return;
    pause->setText(text);
    pause->setAccessibleName(text);
}

// Every place is marked; the view goes to the next one from the cursor (going back: the one
// before it; from a new search text: the newest).
void DataLogTools::find(bool backward, bool fromEnd) {
    markAll();
    QTextCursor cursor = view->textCursor();
    const int at = TextSearch::step(
        places, fromEnd ? view->document()->characterCount() : cursor.selectionStart(), backward);
    if (at < 0) {
        searchResult->setText(search->text().isEmpty() ? QString() : QStringLiteral("Not found"));
        searchResult->setAccessibleName(searchResult->text());
        return;
    }
    cursor.setPosition(at);
    cursor.setPosition(at + search->text().size(), QTextCursor::KeepAnchor);
    view->setTextCursor(cursor);
    view->ensureCursorVisible();
    searchResult->setText(QStringLiteral("%1 of %2%3")
                              .arg(places.indexOf(at) + 1)
                              .arg(places.size())
                              .arg(places.size() == MaxMarks ? QStringLiteral("+") : QString()));
    searchResult->setAccessibleName(searchResult->text());
}

void DataLogTools::markAll() {
    places = TextSearch::matches(view->toPlainText(), search->text(), MaxMarks);
    QList<QTextEdit::ExtraSelection> marks;
    marks.reserve(places.size());
    QTextCharFormat marked;
    marked.setBackground(QColor(255, 230, 90));
    for (int at : places) {
        QTextEdit::ExtraSelection mark{QTextCursor(view->document()), marked};
        mark.cursor.setPosition(at);
        mark.cursor.setPosition(at + search->text().size(), QTextCursor::KeepAnchor);
        marks.append(mark);
    }
    view->setExtraSelections(marks);
}

void DataLogTools::saveView() {
    const QString folder =
        ProgramFolders::usable(QStringLiteral("Logs"), logDirectory ? logDirectory() : QString());
    const QString name =
        QDateTime::currentDateTime().toString(QStringLiteral("'view-'yyyyMMddHHmmss'.txt'"));
    const QString path = chooseSaveFile
                             ? chooseSaveFile(folder.isEmpty() ? name : QDir(folder).filePath(name))
                             : QString();
    if (path.isEmpty())
        return;
    const QString refused = ProgramFolders::refusal(path);
    if (!refused.isEmpty()) {
        tell(QStringLiteral("Not saved: %1").arg(refused));
        return;
    }
    QSaveFile file(path);
    const QByteArray text = view->toPlainText().toLatin1() + '\n';
    const bool saved = file.open(QIODevice::WriteOnly | QIODevice::Text) &&
                       file.write(text) == text.size() && file.commit();
    tell(saved ? QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(path))
               : QStringLiteral("Not saved: %1").arg(file.errorString()));
}

// A long text is cut at the band's end and shown whole as the tip.
void DataLogTools::tell(const QString& text) {
    note->setText(text);
    note->setAccessibleName(text);
    note->setToolTip(PlainText::tip(text));
}

void DataLogTools::clearView() {
    feed.clear();
    places.clear();
    view->setExtraSelections({});
    searchResult->clear();
    note->clear();
}
