// Registry scripts in the registrar's syntax, the one source of the keys that
// registration writes and unregistration removes:
//
//   HKCR
//   {
//       Some.ProgID = s 'Description'
//       {
//           CLSID = s '{...}'
//       }
//       NoRemove CLSID
//       {
//           ForceRemove {...} = s 'Description'
//           {
//               InprocServer32 = s '%MODULE%'
//               {
//                   val ThreadingModel = s 'both'
//               }
//           }
//       }
//   }
//
// Strings are quoted with ' (a doubled '' stands for one); %NAME% is replaced
// by the value given for NAME and %% by %. Values are strings (s) or numbers (d).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velmora::com {

struct RegistryValue {
    std::wstring name; // empty for the key's default value
    wchar_t type = L's';
    std::wstring data;
};

struct RegistryKey {
    enum class Removal { Normal, ForceRemove, NoRemove, Delete };
    std::wstring name;
    Removal removal = Removal::Normal;
    std::optional<RegistryValue> defaultValue;
    std::vector<RegistryValue> values;
    std::vector<RegistryKey> keys;
};

struct RegistryRoot {
    std::wstring name; // as written: HKCR, HKEY_CLASSES_ROOT, HKLM, ...
    std::vector<RegistryKey> keys;
};

struct RegistryScript {
    std::vector<RegistryRoot> roots;
};

// The parsed script, or nothing when the text is not a well-formed script or
// names a variable that `variables` lacks.
std::optional<RegistryScript>
parseRegistryScript(const std::wstring& text,
                    const std::map<std::wstring, std::wstring>& variables);

} // namespace velmora::com
