// The objects a client creates: the node (with its events), its setup and sysop configurations,
// and the control object that nodesim.exe's command line talks to.
#pragma once

#include <windows.h>

#include <unknwn.h>

namespace nodesim {

// Each returns a new object with one reference, as IUnknown.
IUnknown* NewNodeObject();
IUnknown* NewSetupConfigObject();
IUnknown* NewControlObject();

}  // namespace nodesim
