#pragma once
// A component that reports diagnostics: to its own OnDebugOut, else to the nearest owner
// that handles them; with no handler in the owner chain they are dropped.

#include <functional>

#include "framework/uQvClasses.h"
#include "xml/uQvXmlTypes.h"

using TXmlDebugEvent = std::function<void(TObject* Sender, TXmlWarnStyle WarnStyle, const String& Warning)>;

class TDebugComponent : public TComponent {
public:
    using TComponent::TComponent;

    TXmlDebugEvent OnDebugOut;

    // True when some component of the chain would receive a diagnostic, so callers can
    // skip formatting texts nobody reads.
    bool HasDebugHandler() const { return Handler() != nullptr; }
    void DoDebugOut(TObject* Sender, TXmlWarnStyle WarnStyle, const String& Warning) const;

private:
    const TXmlDebugEvent* Handler() const;
};
