// Writing and removing the keys of a registry script.
//
// Registration creates every key and value; a ForceRemove key is deleted
// whole first. Unregistration deletes a ForceRemove key whole, leaves NoRemove
// keys in place (but visits their subkeys), and deletes any other key once its
// scripted subkeys are gone and it has no others.
#pragma once

#include "com/win32/registry_script.h"

#include <windows.h>

namespace velmora::com {

HRESULT applyRegistryScript(const RegistryScript& script, bool registering);

} // namespace velmora::com
