#include "host/reciprocal_choice.h"

#include "host/saver_state.h"
#include "sim/vector3.h"

namespace {

using FeatureQuery = BOOL(WINAPI*)(DWORD feature);

}  // namespace

bool OsEnablesSse() {
    // Looked up by name: Windows 95 has no IsProcessorFeaturePresent and also
    // does not save the SSE registers, so its absence means "no".
    HMODULE kernel = GetModuleHandleA("KERNEL32.DLL");
    if (kernel == nullptr) {
        return false;
    }
    const auto query = reinterpret_cast<FeatureQuery>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "IsProcessorFeaturePresent")));
    return query != nullptr && query(PF_XMMI_INSTRUCTIONS_AVAILABLE) != 0;
}

void ChooseReciprocalPath() {
    ChooseReciprocals(OsEnablesSse());
}
