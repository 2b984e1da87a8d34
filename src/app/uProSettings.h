#pragma once
// The application's settings: one INI file in the user's temporary folder, read once when
// the settings object is made and written back section by section as soon as a value
// changes. Nothing is cached and nothing is flushed at exit.

#include <memory>

#include "app/uProDefine.h"
#include "framework/uQvClasses.h"
#include "framework/uQvIniFiles.h"

class TProSettings;

// The base of every section: update nesting and access to the settings' INI file.
class TProSettings_Sub : public TPersistent {
public:
    explicit TProSettings_Sub(TProSettings* AOwner) : FOwner(AOwner) {}

    void BeginUpdate() { ++FUpdateCount; }
    // Writes the whole section, changed or not. The counter never holds back the writes
    // the setters make.
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }
    // Writes every key of the section, in its fixed order.
    virtual void SaveSection() = 0;

protected:
    TIniFile& Ini() const;

    int FUpdateCount = 0;
    TProSettings* FOwner;
};

class TProSettings_Page1 : public TProSettings_Sub {
public:
    explicit TProSettings_Page1(TProSettings* AOwner);
    int ServerPort() const { return FServerPort; }
    void SetServerPort(int Value);
    const String& ServerIP() const { return FServerIP; }
    void SetServerIP(const String& Value);
    bool Active() const { return FActive; }
    void SetActive(bool Value);
    void SaveSection() override;

private:
    int FServerPort = 1433;
    String FServerIP = u"127.0.0.1";
    bool FActive = false;
};

class TProSettings_Page2 : public TProSettings_Sub {
public:
    explicit TProSettings_Page2(TProSettings* AOwner);
    bool ActiveTest() const { return FActiveTest; }
    void SetActiveTest(bool Value);
    void SaveSection() override;

private:
    bool FActiveTest = false;
};

class TProSettings_Page3 : public TProSettings_Sub {
public:
    explicit TProSettings_Page3(TProSettings* AOwner);
    bool ActiveField1() const { return FActiveField1; }
    void SetActiveField1(bool Value);
    void SaveSection() override;

private:
    bool FActiveField1 = false;
};

class TProSettings_SkinStyle : public TProSettings_Sub {
public:
    explicit TProSettings_SkinStyle(TProSettings* AOwner);
    int ColorIndex() const { return FColorIndex; }
    void SetColorIndex(int Value);
    int H() const { return FH; }
    void SetH(int Value);
    TColorMode ColorMode() const { return FColorMode; }
    void SetColorMode(TColorMode Value);
    int S() const { return FS; }
    void SetS(int Value);
    void SaveSection() override;

private:
    int FColorIndex = 0;
    int FH = 50;
    TColorMode FColorMode = cmDefault;
    int FS = 50;
};

class TProSettings : public TObject {
public:
    // AppTempPath() + "VarnothOptions.ini".
    TProSettings();
    explicit TProSettings(const String& FileName);
    ~TProSettings() override;

    TIniFile* IniObj() const { return FIniObj.get(); }
    const String& FileName() const { return FFileName; }
    TProSettings_Page1* Page1() const { return FPage1.get(); }
    TProSettings_Page2* Page2() const { return FPage2.get(); }
    TProSettings_Page3* Page3() const { return FPage3.get(); }
    TProSettings_SkinStyle* SkinStyle() const { return FSkinStyle.get(); }

private:
    void CreateSections();

    String FFileName;
    std::unique_ptr<TIniFile> FIniObj;
    std::unique_ptr<TProSettings_Page3> FPage3;
    std::unique_ptr<TProSettings_Page2> FPage2;
    std::unique_ptr<TProSettings_Page1> FPage1;
    std::unique_ptr<TProSettings_SkinStyle> FSkinStyle;
};

// The one settings object, made on first use. After ShutdownProSettings it is gone for
// good: the call returns nullptr and makes nothing new.
TProSettings* ProSettings();
// Frees the settings object (program end, after the skin scheme).
void ShutdownProSettings();
// Frees it and allows a new one; only for tests.
void ResetProSettingsForTests();
