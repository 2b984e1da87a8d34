#pragma once
// The main data module. Its creation runs the simulated loading job that drives the
// splash to 100 %; its stored layout holds the message-box style of the application.

#include "framework/uQvClasses.h"

class TPelluxMessageBoxStyle;

class TMainDataModule : public TDataModule {
public:
    explicit TMainDataModule(TComponent* AOwner);
    ~TMainDataModule() override;

    // The style of every message box of the application.
    TPelluxMessageBoxStyle* qvsknmsgbxstyl1 = nullptr;

private:
    void DataModuleCreate(TObject* Sender);
};

extern TMainDataModule* MainDataModule;
