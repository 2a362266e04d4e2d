// Resource ids of Velmora.dll, shared by velmora.rc and the code that loads
// the resources.
#pragma once

#define IDS_PROJNAME 100
#define IDR_HUDPROVIDER 103
#define IDS_HUDPROVIDER_DESC 102
