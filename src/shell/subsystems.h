// What start-up and shutdown ask of the other subsystems, in the order they are asked.
// Each call may raise an UnexpectedError, which start-up reports and steps over.
#pragma once

namespace lumetra {

class Subsystems {
public:
    virtual ~Subsystems() = default;
    virtual void openScannerPort() = 0;
    virtual void fillFieldCodeTable() = 0;
    virtual void createHostApplication() = 0;
    virtual void connectHostWorkList() = 0;
    virtual void setListResetPending() = 0;
    virtual void loadFieldSelectionDialog() = 0;
    virtual void unloadFieldSelectionDialog() = 0;
    virtual void closeScannerPort() = 0;
    virtual void releaseHostObjects() = 0;
};

} // namespace lumetra
