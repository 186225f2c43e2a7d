#include "platform/posix/posix_paths.h"
#include "shell/program.h"

#include <QApplication>
#include <unistd.h>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    lumetra::Program program({lumetra::processEnvironment, lumetra::executableFolder()});
    if (program.start() == lumetra::StartupResult::EndNow)
        ::_exit(0); // ends at once, without the shutdown steps
    program.window().show();
    const int code = QApplication::exec();
    program.unload();
    return code;
}
