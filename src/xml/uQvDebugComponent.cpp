#include "xml/uQvDebugComponent.h"

const TXmlDebugEvent* TDebugComponent::Handler() const {
    for (const TComponent* C = this; C != nullptr; C = C->Owner())
        if (const auto* D = dynamic_cast<const TDebugComponent*>(C); D != nullptr && D->OnDebugOut)
            return &D->OnDebugOut;
    return nullptr;
}

void TDebugComponent::DoDebugOut(TObject* Sender, TXmlWarnStyle WarnStyle, const String& Warning) const {
    if (const TXmlDebugEvent* H = Handler()) (*H)(Sender, WarnStyle, Warning);
}
