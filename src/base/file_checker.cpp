#include "base/file_checker.h"

#include "common/errors.h"
#include "common/status_texts.h"

namespace lumetra {

FileChecker::FileChecker(FileProbe& probe, Paths& paths, Dialogs& dialogs)
    : m_probe(probe), m_paths(paths), m_dialogs(dialogs) {}

bool FileChecker::fileExists(std::string_view path) {
    const std::string native = m_paths.map(path);
    for (;;) {
        const Probe probe = m_probe.probe(native);
        switch (probe.result) {
        case ProbeResult::Exists:
            return true;
        case ProbeResult::Missing:
            return false;
        case ProbeResult::DeviceError:
            if (m_dialogs.message(texts::kUnformattedDisk, Icon::Question, Buttons::RetryCancel) ==
                Answer::Retry)
                continue;
            return false;
        case ProbeResult::NotReady:
            if (m_dialogs.message(texts::kInsertDisk, Icon::Question, Buttons::OkCancel) ==
                Answer::Ok)
                continue;
            return false;
        case ProbeResult::OtherError:
            // Reported like any unexpected error; the program goes on with "no file".
            m_dialogs.message(unexpectedErrorText(probe.errorNumber, probe.description),
                              Icon::Critical, Buttons::Ok);
            return false;
        }
        return false;
    }
}

} // namespace lumetra
