#include "host/HostReferences.hpp"

HostVariableReference ResolveHostVariable(HostAddress a) {
    return {ToHostAddress(GlobalAddressByVersion(a))};
}

HostFunctionReference ResolveHostFunction(HostAddress a) {
    HostFunctionReference reference{};
    reference.gated = GlobalAddressByVersion(a);
    reference.translated = ToHostAddress(GlobalAddressByVersion(a));
    return reference;
}

// These run before every other static initialiser of the plugin (the plugin object
// is constructed last); the first of them runs the build detection.
#define HOST_REFERENCE __attribute__((init_priority(1000)))

const HostVariableReference DialGateByteReference HOST_REFERENCE = ResolveHostVariable(kDialGateByteAddress);
const HostVariableReference DialGateStructReference HOST_REFERENCE =
    ResolveHostVariable(kDialGateStructAddress);
const HostFunctionReference LoadTextureDictionaryReference HOST_REFERENCE =
    ResolveHostFunction(kLoadTextureDictionaryAddress);
