#pragma once
// The splash window: shown while the application loads, counting its loading text up to
// 100 %, then faded out and freed. With Tag 1 it serves as the About box.

#include "framework/uQvForms.h"
#include "framework/uQvStdCtrls.h"

class TFlashForm : public TForm {
public:
    explicit TFlashForm(TComponent* AOwner);
    ~TFlashForm() override;

    BYTE Progress() const { return FProgress; }
    // Shows "模拟系统初始化进度...(n%)" when the value changes.
    void SetProgress(BYTE Value);
    // Fades the window out and closes it; whatever fails on the way is ignored.
    void DoClose();

    TLabel* lb1 = nullptr;
    TLabel* lb2 = nullptr;
    TLabel* lblLoadingText = nullptr;
    TLabel* lbl3 = nullptr;

protected:
    using TForm::DoClose;

private:
    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void BannerClick(TObject* Sender);

    BYTE FProgress = 0;
};

// The splash while it is open; cleared when it closes.
extern TFlashForm* FlashForm;
