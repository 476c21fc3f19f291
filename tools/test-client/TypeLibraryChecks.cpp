#include "TypeLibraryChecks.h"

#include <ole2.h>
#include <windows.h>

#include "plugin/ComPtr.h"
#include "plugin/PluginIds.h"
#include "plugin/PluginVersion.h"

namespace {

std::wstring NameOf(ITypeInfo* info) {
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr)) || !name) return L"";
  std::wstring text(name, SysStringLen(name));
  SysFreeString(name);
  return text;
}

// Kind, flags and id of a type description.
struct TypeFacts {
  TYPEKIND kind = TKIND_MAX;
  WORD flags = 0;
  GUID guid = GUID_NULL;
  WORD implementedTypes = 0;
};

TypeFacts FactsOf(ITypeInfo* info) {
  TypeFacts facts;
  TYPEATTR* attributes = nullptr;
  if (SUCCEEDED(info->GetTypeAttr(&attributes)) && attributes) {
    facts = {attributes->typekind, attributes->wTypeFlags, attributes->guid, attributes->cImplTypes};
    info->ReleaseTypeAttr(attributes);
  }
  return facts;
}

}  // namespace

void CheckTypeLibrary(ClientChecks& checks, const std::wstring& modulePath) {
  ComPtr<ITypeLib> library;
  const HRESULT loaded = LoadTypeLib(modulePath.c_str(), library.Put());
  if (!checks.Expect(SUCCEEDED(loaded) && library, "LoadTypeLib on the plug-in", Hex(loaded))) return;

  TLIBATTR* libraryAttributes = nullptr;
  if (SUCCEEDED(library->GetLibAttr(&libraryAttributes)) && libraryAttributes) {
    checks.Expect(IsEqualGUID(libraryAttributes->guid, kLibidBC_WMPLib), "library id");
    checks.Expect(libraryAttributes->wMajorVerNum == BC_VERSION_MAJOR &&
                      libraryAttributes->wMinorVerNum == BC_VERSION_MINOR,
                  "library version is the product's major.minor",
                  std::to_string(libraryAttributes->wMajorVerNum) + "." +
                      std::to_string(libraryAttributes->wMinorVerNum));
    library->ReleaseTLibAttr(libraryAttributes);
  }
  BSTR name = nullptr;
  BSTR help = nullptr;
  library->GetDocumentation(-1, &name, &help, nullptr, nullptr);
  checks.Expect(name && std::wstring(name) == L"BC_WMPLib", "library name BC_WMPLib",
                name ? Narrow(name) : "");
  checks.Expect(help && std::wstring(help) == L"Lumatide for Windows Media Player", "library help string",
                help ? Narrow(help) : "");
  SysFreeString(name);
  SysFreeString(help);

  ComPtr<ITypeInfo> dual;
  checks.Expect(SUCCEEDED(library->GetTypeInfoOfGuid(kIidIBC_WMP, dual.Put())) && dual,
                "IBC_WMP is described");
  if (dual) {
    const TypeFacts facts = FactsOf(dual.Get());
    checks.Expect(NameOf(dual.Get()) == L"IBC_WMP", "interface name", Narrow(NameOf(dual.Get())));
    checks.Expect(
        (facts.kind == TKIND_DISPATCH || facts.kind == TKIND_INTERFACE) && (facts.flags & TYPEFLAG_FDUAL),
        "IBC_WMP is dual", "kind " + std::to_string(facts.kind) + " flags " + Hex(facts.flags));
  }

  ComPtr<ITypeInfo> coclass;
  checks.Expect(SUCCEEDED(library->GetTypeInfoOfGuid(kClsidBC_WMP, coclass.Put())) && coclass,
                "BC_WMP is described");
  if (!coclass) return;
  const TypeFacts facts = FactsOf(coclass.Get());
  checks.Expect(facts.kind == TKIND_COCLASS && NameOf(coclass.Get()) == L"BC_WMP", "coclass BC_WMP",
                Narrow(NameOf(coclass.Get())));
  INT implFlags = 0;
  HREFTYPE reference = 0;
  ComPtr<ITypeInfo> defaultInterface;
  const bool hasDefault =
      facts.implementedTypes == 1 && SUCCEEDED(coclass->GetImplTypeFlags(0, &implFlags)) &&
      (implFlags & IMPLTYPEFLAG_FDEFAULT) && SUCCEEDED(coclass->GetRefTypeOfImplType(0, &reference)) &&
      SUCCEEDED(coclass->GetRefTypeInfo(reference, defaultInterface.Put()));
  checks.Expect(hasDefault && IsEqualGUID(FactsOf(defaultInterface.Get()).guid, kIidIBC_WMP),
                "BC_WMP's default interface is IBC_WMP");
}
