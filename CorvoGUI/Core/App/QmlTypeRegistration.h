#pragma once

// Every QML registration of the program, in one place; called once at start-up, before the Qt
// application object is constructed (GUI thread). In this order:
// - the singleton "Fonts" (module "FontStyles" 1.0), in C++ ownership;
// - the look's singletons "Theme" (module "ThemeColours" 1.0), "UISettings" ("UISettingsSingleton"
//   1.0) and "Interpreter" ("ValueInterpreter" 1.0), whose providers hand QML the objects that
//   gThemeColours, gUISettings and gQmlValueInterpreterSingleton point to and leave them in C++
//   ownership;
// - the framework's integer types as meta-type aliases ("UBYTE", "SBYTE", "UWORD", "SWORD", "ULONG",
//   "SLONG", "GAIN");
// - the framework's drivers of module "KVDrivers" 1.0 (the list box back end uncreatable:
//   "QtListBoxBackend");
// - the creatable "KVCCFormat" of "KVQml" 2.0 and the uncreatable "ProjectCCFormat" of "Corvo" 1.0,
//   with their enumerations as meta-types;
// - the PEQ response graph's types (path element, driver interface and driver, back end, scale
//   labels, bands);
// - the filter type enumerations as "PEQTypes" of module "Corvo" 1.0 (uncreatable: "PEQ Enum
//   definitions only");
// - the back ends of module "Corvo" 1.0: the creatable "FaderControlStripBackend" and the uncreatable
//   "SerialConnectionBackend", "InOutFaderBackend", "LowMidHighBackend", "PEQBandDrivers",
//   "PEQBlockBackend" and "SavesDialogBackend", with their pointer and enumeration meta-types;
// - "eConnectionState" as an enumeration meta-type.
void RegisterQmlTypes();
