// The framework's Classes unit: persistent objects, streams, string lists, component streaming,
// components and collections. Each area lives in its own header; this one gathers them.
#pragma once

#include "SysUtils.h"

// An object that can copy another's state (Assign) and be written by the component streams.
class TPersistent : public TObject {
    VCL_CLASS(TPersistent, TObject)
public:
    // Copies Source into this object; the default asks Source to AssignTo this one.
    virtual void Assign(TPersistent* Source);

protected:
    // Copies this object into Dest; the default raises EConvertError ("Cannot assign a X to a Y").
    virtual void AssignTo(TPersistent* Dest);
};

#include "ClassesStreams.h"
#include "ClassesStrings.h"
#include "ClassesComponents.h"
#include "ClassesCollections.h"
#include "ClassesFiler.h"
#include "ClassesThreads.h"
