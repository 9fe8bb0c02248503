#pragma once

#include "engine/dbcClasses.h"

namespace dbc {

// The concrete object collection every structure holds.
class TObjs : public TCustomObjs {
public:
    // What a metadata script header of this collection contains.
    TScriptOptions ScriptOptions;

    // Takes, for every view, procedure and trigger, its current definition as both the source
    // snapshot and the current definition; done on both sides before comparing.
    void SetSourceDefinition() override;
};

} // namespace dbc
