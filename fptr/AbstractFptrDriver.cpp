// The model registry: which register models the library drives and how their drivers are made.
#include "fptr/AbstractFptrDriver.h"

#include "fptr/tavro20/ModelTables.h"
#include "fptr/tavro20/TavroDrv.h"

namespace Orn { namespace Fptr {

namespace {

AbstractFptrDriver* makeTavroDriver(int modelCode, unsigned capabilities) {
    const Tavro20::ModelDescriptor* descriptor = Tavro20::modelDescriptor(modelCode);
    if (!descriptor) return nullptr;
    return new Tavro20::TavroDrv(modelCode, capabilities, descriptor);
}

// Looked up in this order. Constant-initialised, so it is ready before any static object that
// creates a driver while the library loads.
const ModelEntry kRegistry[] = {
    {Tavro20::kModel10, Tavro20::kModelCapabilities, Tavro20::kDisplayName10, &makeTavroDriver},
    {Tavro20::kModel20, Tavro20::kModelCapabilities, Tavro20::kDisplayName20, &makeTavroDriver},
    {Tavro20::kModel30, Tavro20::kModelCapabilities, Tavro20::kDisplayName30, &makeTavroDriver},
};

RegistryHook g_hook = nullptr;

} // namespace

const ModelEntry* registryEntries(size_t& count) {
    count = sizeof(kRegistry) / sizeof(kRegistry[0]);
    return kRegistry;
}

AbstractFptrDriver* createDriver(int modelCode) {
    if (g_hook) return g_hook(modelCode);
    for (const ModelEntry& e : kRegistry)
        if (e.modelCode == modelCode) return e.factory(e.modelCode, e.capabilities);
    return nullptr;
}

RegistryHook setRegistryHookForTests(RegistryHook hook) {
    RegistryHook previous = g_hook;
    g_hook = hook;
    return previous;
}

}} // namespace Orn::Fptr
