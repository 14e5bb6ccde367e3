#pragma once

// What the program makes for its QML before loading any. GUI thread, once the Qt application object
// is made.

// The theme colours, the drawing utility and the value interpreter (gThemeColours, gDrawingUtility,
// gQmlValueInterpreterSingleton), each made when it is not there yet and never deleted: QML may hold
// them to the end, and a second application object in one process reuses them.
void MakeLookObjects();

// Adds the program's font (":Spartan-Bold.ttf" of the resources); false when it could not be added.
bool AddProgramFont();

// The font's resource path.
extern const char* const PROGRAM_FONT_RESOURCE;
