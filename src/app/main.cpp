#include "app/check_command.h"
#include "app/program.h"
#include "app/termination.h"
#include "platform/qt/qt_widgets.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Options {
    bool check = false;
    bool json = false;
};

// The program takes no arguments but --check [--json]; --help and --version answer and
// end it. A usage error ends it with status 2.
Options parseCommandLine(const QCoreApplication& app) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Barcode manager for the workstation beside a CNC machine control.\n"
                       "The settings are read from ORX.INI; see the README for the environment."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption check(
        QStringLiteral("check"),
        QStringLiteral("Check the workstation (ORX.INI, scanner, folders, editor) and end: "
                       "exit status 0 when it is ready, 1 when not. Writes nothing."));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("With --check: print the items as JSON."));
    parser.addOption(check);
    parser.addOption(json);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "lumetra: %s; see --help\n",
                     parser.errorText().toLocal8Bit().constData());
        std::exit(2);
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        std::fputs("lumetra: takes no arguments; see --help\n", stderr);
        std::exit(2);
    }
    if (parser.isSet(json) && !parser.isSet(check)) {
        std::fputs("lumetra: --json goes with --check; see --help\n", stderr);
        std::exit(2);
    }
    (void)app;
    return {parser.isSet(check), parser.isSet(json)};
}

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("lumetra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMETRA_VERSION));
}

bool asksForCheck(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--check") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    const lumetra::ProgramEnvironment setup{lumetra::processEnvironment,
                                            lumetra::executableFolder()};
    // The check needs no display: an integrator runs it over a remote shell.
    if (asksForCheck(argc, argv) || lumetra::displayMissing()) {
        QCoreApplication app(argc, argv);
        describeApplication();
        const Options options = parseCommandLine(app);
        if (options.check)
            return lumetra::runWorkstationCheck(setup, options.json);
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
    program = std::make_unique<lumetra::Program>(setup);
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
