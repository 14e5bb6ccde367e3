#pragma once

// Every QML registration of the program, in one place; called once at start-up, before the Qt
// application object is constructed (GUI thread). Registers the framework's integer types as
// meta-type aliases ("UBYTE", "SBYTE", "UWORD", "SWORD", "ULONG", "SLONG", "GAIN"), the framework's
// drivers of module "KVDrivers" 1.0 (the list box back end uncreatable: "QtListBoxBackend"), the
// filter type enumerations as "PEQTypes" of module "Corvo" 1.0 (uncreatable: "PEQ Enum definitions
// only") and "eConnectionState" as an enumeration meta-type.
void RegisterQmlTypes();
