// Whether a file exists, asking the operator about disk errors.
#pragma once

#include "platform/dialogs.h"
#include "platform/file_probe.h"
#include "platform/paths.h"

#include <string>

namespace lumetra {

class FileChecker {
public:
    FileChecker(FileProbe& probe, Paths& paths, Dialogs& dialogs);

    // `path` is a path as the program builds it (mapped before the test). A device error
    // asks "Unformatted Disk" (Retry repeats), a drive without medium "Insert Disk" (OK
    // repeats); Cancel, a missing path or another error answer false.
    bool fileExists(std::string_view path);

private:
    FileProbe& m_probe;
    Paths& m_paths;
    Dialogs& m_dialogs;
};

} // namespace lumetra
