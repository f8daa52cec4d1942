#pragma once
// Owners of COM interface pointers (ComOwner, with the other handle owners)
// and of BSTRs the callee allocated.
#include <windows.h>
#include <oleauto.h>

#include "handles/unique_any.h"
#include "handles/win32_handles.h"

namespace lss {

// A BSTR returned through an out parameter; null (an empty BSTR) is "none".
using UniqueBstr = UniqueFunctionHandle<BSTR, &::SysFreeString>;

}  // namespace lss
