#pragma once
// Owners of COM interface pointers and of BSTRs the callee allocated.
#include <windows.h>
#include <oleauto.h>

#include "handles/unique_any.h"

namespace lss {

template <typename Interface>
void ReleaseInterface(Interface* object) noexcept {
  object->Release();
}

// One reference to a COM object; null is "none".
template <typename Interface>
using ComOwner = UniqueFunctionHandle<Interface*, &ReleaseInterface<Interface>>;

// A BSTR returned through an out parameter; null (an empty BSTR) is "none".
using UniqueBstr = UniqueFunctionHandle<BSTR, &::SysFreeString>;

}  // namespace lss
