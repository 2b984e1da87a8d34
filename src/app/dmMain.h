#pragma once
// The main data module. Its creation runs the simulated loading job that drives the
// splash to 100 %; it holds the message-box style of the application once the skinned
// message box provides one.

#include <functional>

#include "framework/uQvClasses.h"

class TMainDataModule : public TDataModule {
public:
    explicit TMainDataModule(TComponent* AOwner);
    ~TMainDataModule() override;

    // The message-box style component, made by the registered maker; nullptr while none
    // is registered (message boxes keep the plain look).
    TComponent* qvsknmsgbxstyl1 = nullptr;

private:
    void DataModuleCreate(TObject* Sender);
};

// Makes the message-box style the data module holds (owned by it). The skinned message
// box's unit registers it; an empty maker removes it.
using TMessageBoxStyleMaker = std::function<TComponent*(TMainDataModule* Owner)>;
void RegisterMessageBoxStyleMaker(TMessageBoxStyleMaker Maker);

extern TMainDataModule* MainDataModule;
