#ifndef COMMANDLINE_H
#define COMMANDLINE_H

#include <QString>
#include <QStringList>

class QTextStream;

// The command line as Linux users expect it, judged before the application object exists, so
// that --help and --version need no display and touch no window or port.
//
//   -h, --help     print the usage to stdout; main() returns 0 at once
//   -v, --version  print "<program> <version>" to stdout; main() returns 0 at once
//
// The programs have no other options of their own. Qt's options (-platform offscreen,
// -style fusion, ...) are left to Qt in either spelling, with one dash or two, and the word after
// one that takes a value is that value, not an option. Any other word that starts with "--" is a
// mistake: a short error and the usage line go to stderr and main() returns 2. Other words (a
// single dash, no dash) are left alone as before; a lone "--" ends the options.
class CommandLine {
public:
    CommandLine(const QString& program, const QString& version, const QString& summary);

    // Judges the arguments (argv[0] excluded) and prints what they ask for. True when main()
    // must return exitCode() at once.
    bool handle(const QStringList& arguments, QTextStream& out, QTextStream& err);
    // The same for main()'s own arguments, printing to stdout and stderr.
    bool handle(int argc, char* argv[]);

    int exitCode() const { return code; }

private:
    QString usage() const;
    QString usageLine() const;

    QString program;
    QString version;
    QString summary;
    int code = 0;
};

#endif // COMMANDLINE_H
