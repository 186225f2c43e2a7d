#include "platform/posix/posix_paths.h"
#include "shell/program.h"
#include "shell/termination.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

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

// Without a display Qt's X11 platform would abort; say so instead.
bool displayMissing() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool x11 = platform == nullptr || *platform == '\0' || std::string(platform) == "xcb";
    const auto unset = [](const char* name) {
        const char* value = std::getenv(name);
        return value == nullptr || *value == '\0';
    };
    return x11 && unset("DISPLAY") && unset("WAYLAND_DISPLAY");
}

void describeApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("lumetra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMETRA_VERSION));
}

} // namespace

int main(int argc, char* argv[]) {
    if (displayMissing()) {
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
    lumetra::quitOnTermination(app, [&program](int number) {
        program.log().write(lumetra::LogKind::Info,
                            "signal " + std::to_string(number) + ": shutting down");
    });
    if (program.start() == lumetra::StartupResult::EndNow) {
        std::fprintf(stderr, "lumetra: %s\n", program.endReason().c_str());
        ::_exit(1); // ends at once, without the shutdown steps
    }
    program.window().show();
    const int code = QApplication::exec();
    program.unload();
    return code;
}
