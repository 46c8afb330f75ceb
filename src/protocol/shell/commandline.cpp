#include "shell/commandline.h"

#include <QTextStream>

#include <cstdio>

namespace {

// Qt 5's own options, without their dash. Qt takes them with one dash or two, and
// "-style=fusion" as well as "-style fusion".
bool isQtOption(const QString& name, bool& takesValue) {
    static const QStringList withValue =
        QString("platform platformpluginpath platformtheme plugin qwindowgeometry qwindowicon "
                "qwindowtitle session style stylesheet qmljsdebugger display name title geometry "
                "icon visual")
            .split(' ');
    static const QStringList flags =
        QString("reverse widgetcount testability sync nograb dograb qdevel qdebug fontengine")
            .split(' ');
    takesValue = withValue.contains(name);
    return takesValue || flags.contains(name);
}

} // namespace

CommandLine::CommandLine(const QString& program, const QString& version, const QString& summary)
    : program(program), version(version), summary(summary) {}

QString CommandLine::usageLine() const {
    return QString("Usage: %1 [--help] [--version] [Qt options]\n").arg(program);
}

QString CommandLine::usage() const {
    return usageLine() +
           QString("%1\n"
                   "\n"
                   "  -h, --help     show this help and exit\n"
                   "  -v, --version  show the version and exit\n"
                   "\n"
                   "Qt's own options are passed on to Qt, for example -platform offscreen or\n"
                   "-style fusion.\n")
               .arg(summary);
}

bool CommandLine::handle(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    bool help = false;
    bool showVersion = false;
    QStringList unknown;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (arg == "--")
            break;
        if (arg == "-h" || arg == "--help") {
            help = true;
            continue;
        }
        if (arg == "-v" || arg == "--version") {
            showVersion = true;
            continue;
        }
        if (!arg.startsWith('-') || arg == "-")
            continue;
        const QString name = arg.mid(arg.startsWith("--") ? 2 : 1).section('=', 0, 0);
        bool takesValue = false;
        if (isQtOption(name, takesValue)) {
            if (takesValue && !arg.contains('='))
                ++i; // the value, whatever it looks like
        } else if (arg.startsWith("--")) {
            unknown << arg;
        }
    }

    if (!unknown.isEmpty()) {
        err << program << ": unknown option '" << unknown.first() << "'\n" << usageLine();
        err.flush();
        code = 2;
        return true;
    }
    code = 0;
    if (help)
        out << usage();
    else if (showVersion)
        out << program << ' ' << version << '\n';
    out.flush();
    return help || showVersion;
}

bool CommandLine::handle(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return handle(arguments, out, err);
}
