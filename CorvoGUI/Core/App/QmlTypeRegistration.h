#pragma once

// Every QML registration of the program, in one place; called once at start-up, before the Qt
// application object is constructed (GUI thread). Registers the framework's integer types as
// meta-type aliases ("UBYTE", "SBYTE", "UWORD", "SWORD", "ULONG", "SLONG", "GAIN"), the PEQ response
// graph's types (path element, driver interface and driver, back end, scale labels, bands), the filter type
// enumerations as "PEQTypes" of module "Corvo" 1.0 (uncreatable: "PEQ Enum definitions only") and
// "eConnectionState" as an enumeration meta-type.
void RegisterQmlTypes();
