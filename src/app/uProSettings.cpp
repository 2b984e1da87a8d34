#include "app/uProSettings.h"

#include "platform/uQvPaths.h"

// ---- TProSettings_Sub -----------------------------------------------------------------

void TProSettings_Sub::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    SaveSection();
}

TIniFile& TProSettings_Sub::Ini() const { return *FOwner->IniObj(); }

// ---- Page1 ----------------------------------------------------------------------------

TProSettings_Page1::TProSettings_Page1(TProSettings* AOwner) : TProSettings_Sub(AOwner) {
    FActive = Ini().ReadBool(u"Page1", u"Active", false);
    FServerIP = Ini().ReadString(u"Page1", u"ServerIP", u"127.0.0.1");
    FServerPort = Ini().ReadInteger(u"Page1", u"ServerPort", 1433);
}

void TProSettings_Page1::SetServerPort(int Value) {
    if (Value == FServerPort) return;
    FServerPort = Value;
    SaveSection();
}

void TProSettings_Page1::SetServerIP(const String& Value) {
    if (Value == FServerIP) return;
    FServerIP = Value;
    SaveSection();
}

void TProSettings_Page1::SetActive(bool Value) {
    if (Value == FActive) return;
    FActive = Value;
    SaveSection();
}

void TProSettings_Page1::SaveSection() {
    Ini().WriteBool(u"Page1", u"Active", FActive);
    Ini().WriteString(u"Page1", u"ServerIP", FServerIP);
    Ini().WriteInteger(u"Page1", u"ServerPort", FServerPort);
}

// ---- Page2 ----------------------------------------------------------------------------

TProSettings_Page2::TProSettings_Page2(TProSettings* AOwner) : TProSettings_Sub(AOwner) {
    FActiveTest = Ini().ReadBool(u"Page2", u"ActiveTest", false);
}

void TProSettings_Page2::SetActiveTest(bool Value) {
    if (Value == FActiveTest) return;
    FActiveTest = Value;
    SaveSection();
}

void TProSettings_Page2::SaveSection() { Ini().WriteBool(u"Page2", u"ActiveTest", FActiveTest); }

// ---- Page3 ----------------------------------------------------------------------------

TProSettings_Page3::TProSettings_Page3(TProSettings* AOwner) : TProSettings_Sub(AOwner) {
    FActiveField1 = Ini().ReadBool(u"Page3", u"ActiveField1", false);
}

void TProSettings_Page3::SetActiveField1(bool Value) {
    if (Value == FActiveField1) return;
    FActiveField1 = Value;
    SaveSection();
}

void TProSettings_Page3::SaveSection() { Ini().WriteBool(u"Page3", u"ActiveField1", FActiveField1); }

// ---- SkinStyle ------------------------------------------------------------------------

TProSettings_SkinStyle::TProSettings_SkinStyle(TProSettings* AOwner) : TProSettings_Sub(AOwner) {
    FColorIndex = Ini().ReadInteger(u"SkinStyle", u"ColorIndex", 0);
    // A stored number that names no colour mode reads as the default mode.
    FColorMode = ColorModeFromOrdinal(Ini().ReadInteger(u"SkinStyle", u"ColorMode", cmDefault));
    FH = Ini().ReadInteger(u"SkinStyle", u"H", 50);
    FS = Ini().ReadInteger(u"SkinStyle", u"S", 50);
}

void TProSettings_SkinStyle::SetColorIndex(int Value) {
    if (Value == FColorIndex) return;
    FColorIndex = Value;
    SaveSection();
}

void TProSettings_SkinStyle::SetH(int Value) {
    if (Value == FH) return;
    FH = Value;
    SaveSection();
}

void TProSettings_SkinStyle::SetColorMode(TColorMode Value) {
    if (Value == FColorMode) return;
    FColorMode = Value;
    SaveSection();
}

void TProSettings_SkinStyle::SetS(int Value) {
    if (Value == FS) return;
    FS = Value;
    SaveSection();
}

void TProSettings_SkinStyle::SaveSection() {
    Ini().WriteInteger(u"SkinStyle", u"ColorMode", FColorMode);
    Ini().WriteInteger(u"SkinStyle", u"H", FH);
    Ini().WriteInteger(u"SkinStyle", u"S", FS);
    Ini().WriteInteger(u"SkinStyle", u"ColorIndex", FColorIndex);
}

// ---- TProSettings ---------------------------------------------------------------------

TProSettings::TProSettings() : TProSettings(AppTempPath() + u"VarnothOptions.ini") {}

TProSettings::TProSettings(const String& FileName)
    : FFileName(FileName), FIniObj(std::make_unique<TIniFile>(FileName)) {
    CreateSections();
}

void TProSettings::CreateSections() {
    FPage3 = std::make_unique<TProSettings_Page3>(this);
    FPage2 = std::make_unique<TProSettings_Page2>(this);
    FPage1 = std::make_unique<TProSettings_Page1>(this);
    FSkinStyle = std::make_unique<TProSettings_SkinStyle>(this);
}

TProSettings::~TProSettings() {
    FSkinStyle.reset();
    FPage1.reset();
    FPage2.reset();
    FPage3.reset();
    FIniObj.reset();
}

// ---- The process-wide object ----------------------------------------------------------

namespace {

struct TSettingsSlot {
    std::unique_ptr<TProSettings> Object;
    bool ShutDown = false;
};

TSettingsSlot& Slot() {
    static TSettingsSlot S;
    return S;
}

}  // namespace

TProSettings* ProSettings() {
    TSettingsSlot& S = Slot();
    if (!S.Object && !S.ShutDown) S.Object = std::make_unique<TProSettings>();
    return S.Object.get();
}

void ShutdownProSettings() {
    Slot().ShutDown = true;
    Slot().Object.reset();
}

void ResetProSettingsForTests() {
    Slot().Object.reset();
    Slot().ShutDown = false;
}
