#pragma once

// What the program makes for its QML before loading any, for tests that load the program's QML
// without its application object (cApplication) or its session (cProgramSession). GUI thread, once
// the Qt application object is made.
namespace nLookObjects
{

// The theme colours, the drawing utility and the value interpreter (gThemeColours, gDrawingUtility,
// gQmlValueInterpreterSingleton), each made when it is not there yet and never deleted (QML may hold
// them to the end), as cApplication makes them.
void Make();

// Adds the program's font (":Spartan-Bold.ttf", which the resources must hold), as cProgramSession
// does; false when it could not be added.
bool AddFont();

} // namespace nLookObjects
