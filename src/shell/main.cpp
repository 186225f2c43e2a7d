#include "platform/qt/qt_widgets.h"
#include "shell/program.h"
#include "shell/termination.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The program takes no arguments; --help and --version answer and end it.
void parseCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Barcode manager for the workstation beside a CNC machine control.\n"
                       "The settings are read from ORX.INI; see the README for the environment."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs("lumetra: takes no arguments; see --help\n", stderr);
        std::exit(2);
    }
}

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("lumetra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMETRA_VERSION));
}

} // namespace

int main(int argc, char* argv[]) {
    if (lumetra::displayMissing()) {
        QCoreApplication app(argc, argv);
        describeApplication();
        parseCommandLine(app);
        std::fputs("lumetra: no display; set DISPLAY, or QT_QPA_PLATFORM=offscreen to run "
                   "without a window\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    describeApplication();
    parseCommandLine(app);
    lumetra::Program program({lumetra::processEnvironment, lumetra::executableFolder()});
    lumetra::endOnTermination(
        app, [&program](int number) { program.requestEnd("signal " + std::to_string(number)); });
    if (program.start() == lumetra::StartupResult::EndNow) {
        std::fprintf(stderr, "lumetra: %s\n", program.endReason().c_str());
        std::_Exit(1); // ends at once, without the shutdown steps
    }
    program.window().show();
    const int code = QApplication::exec();
    program.unload();
    return code;
}
