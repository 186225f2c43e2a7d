#include "app/program.h"
#include "app/termination.h"
#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <memory>
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
    QApplication::setWindowIcon(lumetra::programIcon());
    describeApplication();
    parseCommandLine(app);
    // Answered from the first moment: a signal during start-up ends its pause, start-up
    // finishes its steps and the program then ends in order, without showing its window.
    std::unique_ptr<lumetra::Program> program;
    lumetra::endOnTermination(app, [&program](const std::string& reason, bool now) {
        if (!program)
            return;
        program->requestEnd(reason);
        if (now)
            program->unload();
    });
    program = std::make_unique<lumetra::Program>(
        lumetra::ProgramEnvironment{lumetra::processEnvironment, lumetra::executableFolder()});
    if (program->start() == lumetra::StartupResult::EndNow) {
        std::fprintf(stderr, "lumetra: %s\n", program->endReason().c_str());
        std::_Exit(1); // ends at once, without the shutdown steps
    }
    int code = 0;
    if (!program->endRequested()) {
        program->window().show();
        code = QApplication::exec();
    }
    program->unload();
    return code;
}
