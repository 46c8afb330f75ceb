// Text from the operator, a file or the results database is shown as it is: markup in it is not
// followed (no large green "PASS", no file read for an image), and the window keeps answering.
#include "flags/resultsdialog.h"
#include "flags/runfiles.h"
#include "main/control_panel.h"
#include "resultsstore.h"
#include "windowfixture.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTextDocument>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A named pipe nobody may open: a reader (an image being loaded from it) is noticed and let go at
// once, so that a window that tries cannot hang the test.
struct Tripwire {
    const QByteArray path;
    std::atomic<bool> done{false}, tripped{false};
    std::thread watcher;
    explicit Tripwire(const QString& name) : path(name.toLocal8Bit()) {
        if (::mkfifo(path.constData(), 0600) == 0)
            watcher = std::thread([this] {
                for (int fd; !done; ::close(fd)) // each open waits for a reader
                    tripped = ((fd = ::open(path.constData(), O_WRONLY)) >= 0 && !done) || tripped;
            });
    }
    ~Tripwire() {
        done = true;
        const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK);
        if (watcher.joinable())
            watcher.join();
        ::close(fd);
    }
};

// The label lays its text out as one line of its own font, every character of it.
bool showsLiterally(QLabel* label) {
    const QFontMetrics metrics = label->fontMetrics();
    const int width = metrics.horizontalAdvance(label->text());
    if (label->wordWrap())
        return label->heightForWidth(width + 10) < 2 * metrics.height();
    return label->sizeHint().width() >= width && label->sizeHint().height() < 2 * metrics.height();
}

// What a tool tip shows.
QString shownTip(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return Qt::mightBeRichText(tip) ? document.toPlainText() : tip;
}

} // namespace

class tst_plaintext : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<WindowFixture> fx;

private slots:
    void cleanup() { fx.reset(); }

    void markupShownAsText_data() {
        QTest::addColumn<QString>("source"); // "typed", "file" or "database"
        QTest::addColumn<QString>("text");   // "PIPE" stands for a named pipe's path
        const QString typed = "typed";
        QTest::newRow("typed unit ID, a verdict")
            << typed << QString("<font color=green size=6><b>PASS unit 4711</b></font>");
        QTest::newRow("typed unit ID, an image") << typed << QString("<img src=PIPE>");
        QTest::newRow("flag file name") << QString("file") << QString("<font size=7>BIG.txt");
        QTest::newRow("flag file of a stored run")
            << QString("database") << QString("<img src=PIPE>");
    }
    void markupShownAsText() {
        QFETCH(QString, source);
        QFETCH(QString, text);
        const QString pipe = dir.filePath("pipe");
        QFile::remove(pipe);
        Tripwire tripwire(pipe);
        QVERIFY(tripwire.watcher.joinable());
        text.replace("PIPE", pipe);
        const QString database = dir.filePath("runs.sqlite");
        if (source == "database") {
            ResultsStore::Options options;
            options.location = "sqlite:" + database;
            options.outboxPath = dir.filePath("outbox.sqlite");
            ResultsStore store(options);
            RunResult run = RunResult::begin();
            run.flagFile = text;
            store.finish(run);
            QVERIFY(store.flush(5000));
        }
        fx = std::make_unique<WindowFixture>();
        fx->env.setSetting("resultsDatabase", "sqlite:" + database);
        fx->start();
        fx->window->show();
        QVERIFY(QTest::qWaitForWindowExposed(fx->window));

        QLabel* label = nullptr;
        if (source == "typed") {
            auto* unitId = fx->find<QLineEdit>("lineEditUnitId");
            unitId->setText(text);
            emit unitId->editingFinished();
            label = fx->find<QLabel>("labelRunUnit");
            QCOMPARE(label->text(), text + " (typed)");
        } else if (source == "file") {
            QFile file(dir.filePath(text));
            QVERIFY(file.open(QIODevice::WriteOnly) &&
                    file.write("00:00:01,\t12,\t0,\t3,\t0,\t0\n"));
            file.close();
            QVERIFY(fx->window->flagFiles().openRun(file.fileName()));
            label = fx->find<QLabel>("labelRunSource");
            QVERIFY(label->text().endsWith(text));
        } else {
            fx->find<QAction>("actionResults")->trigger();
            auto* dialog = fx->window->findChild<ResultsDialog*>();
            QVERIFY(dialog);
            QTRY_COMPARE(dialog->listed().size(), 1);
            dialog->findChild<QTableWidget*>("tableResults")->selectRow(0);
            dialog->findChild<QPushButton*>("buttonResultsReview")->click();
            label = dialog->findChild<QLabel*>("labelResultsMessage");
            QTRY_VERIFY(label->text().endsWith(text)); // after the series is asked for
        }
        label->repaint();
        QVERIFY2(showsLiterally(label), qPrintable(label->text()));
        if (source != "database") // its tip: the whole text where the label is cut short
            QCOMPARE(shownTip(label->toolTip()), label->text());
        QVERIFY(!tripwire.tripped);
    }
};

QTEST_MAIN(tst_plaintext)
#include "tst_plaintext.moc"
