#pragma once
// The roots of the component framework: TObject, TPersistent (copying between objects and
// the hook for custom stored properties) and TComponent (ownership, names, free
// notification and the two-phase construction of forms, frames and data modules).

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "platform/uQvBase.h"

class TObject;
class TPersistent;
class TComponent;
class TFiler;
class TReader;
class TWriter;
class TStream;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// ---- Errors ---------------------------------------------------------------------------

class EListError : public EQvError {
public:
    using EQvError::EQvError;
};
class EComponentError : public EQvError {
public:
    using EQvError::EQvError;
};
class EInvalidOperation : public EQvError {
public:
    using EQvError::EQvError;
};
class EStreamError : public EQvError {
public:
    using EQvError::EQvError;
};
class EFilerError : public EStreamError {
public:
    using EStreamError::EStreamError;
};
class EReadError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
class EWriteError : public EFilerError {
public:
    using EFilerError::EFilerError;
};
class EClassNotFound : public EFilerError {
public:
    using EFilerError::EFilerError;
};

// Raises EListError "List index out of bounds (%d)".
[[noreturn]] void RaiseListIndexError(int Index);

// ---- TObject --------------------------------------------------------------------------

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    // Runs once the most-derived constructor has finished (see Create<T>).
    virtual void AfterConstruction() {}
    // Runs before any destructor when an object is freed with Free().
    virtual void BeforeDestruction() {}

    // The class's registered name, else its C++ name ("TPelluxButton").
    String ClassName() const;

    // BeforeDestruction(), then delete. The object must have been made with new.
    void Free();
};

template <typename T>
void FreeAndNil(T*& Object) {
    T* Old = Object;
    Object = nullptr;
    if (Old != nullptr) Old->Free();
}

// ---- TPersistent ----------------------------------------------------------------------

class TPersistent : public TObject {
public:
    // Copies Source into this object. Source->AssignTo(this) handles pairs this class does
    // not know; an unknown pair raises EConvertError "Cannot assign a %s to a %s".
    virtual void Assign(const TPersistent* Source);
    virtual TPersistent* GetOwner() const { return nullptr; }
    virtual String GetNamePath() const;
    // Declares stored properties that are not published ones (binary "Data" and the like).
    virtual void DefineProperties(TFiler& Filer);

protected:
    virtual void AssignTo(TPersistent* Dest) const;
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// Declares custom stored properties to the text form reader and writer.
class TFiler {
public:
    using TReaderProc = std::function<void(TReader& Reader)>;
    using TWriterProc = std::function<void(TWriter& Writer)>;
    using TStreamProc = std::function<void(TStream& Stream)>;

    virtual ~TFiler() = default;
    // A property made of plain values (a list of strings, for instance).
    virtual void DefineProperty(const String& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                                bool HasData) = 0;
    // A property stored as bytes, written as hexadecimal.
    virtual void DefineBinaryProperty(const String& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;
};

// ---- TComponent -----------------------------------------------------------------------

enum TComponentStateItem {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance,
};
using TComponentState = TSet<TComponentStateItem>;

enum TOperation { opInsert, opRemove };

using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
public:
    // Joins AOwner's Components (at the end); the owner deletes it.
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;

    TComponent* Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    int ComponentIndex() const;
    void SetComponentIndex(int Value);

    const String& Name() const { return FName; }
    // Empty, or an identifier unique (ignoring ASCII case) among the owner's components.
    virtual void SetName(const String& NewName);
    intptr_t Tag() const { return FTag; }
    void SetTag(intptr_t Value) { FTag = Value; }
    TComponentState ComponentState() const { return FComponentState; }

    // The owned component of that name (ASCII case ignored); nullptr for an empty name.
    TComponent* FindComponent(std::u16string_view AName) const;

    // Asks to be told (Notification(A, opRemove)) before A dies, and tells A likewise.
    void FreeNotification(TComponent* A);
    void RemoveFreeNotification(TComponent* A);

    void InsertComponent(TComponent* A);
    void RemoveComponent(TComponent* A);
    // Frees the owned components, last created first.
    void DestroyComponents();

    // Streaming hooks: the component that holds this one in a stored layout (a control's
    // parent), and the components a stored layout lists inside this one.
    virtual bool HasParent() const { return false; }
    virtual TComponent* GetParentComponent() const { return nullptr; }
    virtual void SetParentComponent(TComponent* Value);
    virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);

    // The states the text-form reader and writer keep. BeginReading sets csLoading and
    // csReading. EndReading clears csReading; a component read in full then waits in
    // Root's pending list for Loaded(), one whose reading failed also leaves csLoading
    // unless an earlier read already put it on that list.
    void BeginReading();
    void EndReading(TComponent* Root, bool Complete);
    void SetWriting(bool Value);
    // A layout read into this component waits for Loaded() (see AfterConstruction).
    bool HasPendingLoaded() const { return !FPendingLoaded.empty(); }
    // Loaded() of the components waiting, in the order they were read.
    void RunPendingLoaded();

    TPersistent* GetOwner() const override { return FOwner; }
    String GetNamePath() const override { return FName; }

    // Loaded() of the components of a layout read in the constructor (creation order),
    // then Created(), then DoCreate() (OnCreate of forms and data modules).
    void AfterConstruction() override;
    // DoDestroy() (OnDestroy) first, then csDestroying, free notifications and the owned
    // components, all while the object is still whole.
    void BeforeDestruction() override;

    // Called once a stored layout has been applied; clears csLoading.
    virtual void Loaded();
    // The construction step in which virtual calls reach the most-derived class.
    // Overrides call their base first.
    virtual void Created() {}

protected:
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // For destructors of classes whose owned components reach back into them (a form and
    // its skin): a delete without Free() frees those components here, while the object is
    // still whole, rather than after the derived parts are gone.
    void EndBeforeDelete();
    virtual void ValidateRename(TComponent* AComponent, const String& CurName, const String& NewName);
    virtual void DoCreate() {}
    virtual void DoDestroy() {}

private:
    void Insert(TComponent* A);
    void Remove(TComponent* A);
    void RemoveNotification(TComponent* A);
    void RemoveFreeNotifications();

    TComponent* FOwner = nullptr;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
    // Components of a layout read in the constructor, waiting for AfterConstruction.
    std::vector<TComponent*> FPendingLoaded;
    String FName;
    intptr_t FTag = 0;
    TComponentState FComponentState;
};

// Makes a form, frame or data module: new T(Owner, Args...), then AfterConstruction().
// If AfterConstruction fails the object is freed and the error passed on.
template <typename T, typename... TArgs>
T* Create(TComponent* Owner, TArgs&&... Args) {
    T* Object = new T(Owner, std::forward<TArgs>(Args)...);
    try {
        Object->AfterConstruction();
    } catch (...) {
        Object->Free();
        throw;
    }
    return Object;
}

// A non-visual container of components with creation and destruction events.
class TDataModule : public TComponent {
public:
    explicit TDataModule(TComponent* AOwner) : TComponent(AOwner) {}

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;

protected:
    void DoCreate() override;
    void DoDestroy() override;
};

// True for a non-empty ASCII identifier: a letter or '_', then letters, digits or '_'.
bool IsValidIdent(std::u16string_view Ident);
