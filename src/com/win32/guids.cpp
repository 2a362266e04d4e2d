// The one definition of the class, interface and library GUIDs, from the
// header that widl makes out of velmora.idl.
#include <initguid.h>

#include "velmora_h.h"
