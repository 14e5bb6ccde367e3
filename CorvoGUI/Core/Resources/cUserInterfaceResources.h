#pragma once

// The user interface's resource trees, compiled into the program: the QML files with their qmldir
// ("main.qml", ...), the script library ("Gains.js"), the images ("Connect.svg", "Meter.svg", ...)
// and the font ("Spartan-Bold.ttf"), every file at the resource root ("qrc:/Connect.svg"). The
// larger QML files and the script are stored zlib-compressed, everything else plain. Each tree has
// its own pair of registration functions; this object calls them, so that the linker keeps the
// trees of the static library.
//
// Construction registers every tree, destruction unregisters them. Hold one object for the run of
// the program, made before anything reads the resources and destroyed after the last reader (the
// QML engine). Main thread.
class cUserInterfaceResources
{
public:
    cUserInterfaceResources();
    ~cUserInterfaceResources();

    cUserInterfaceResources(const cUserInterfaceResources&) = delete;
    cUserInterfaceResources& operator=(const cUserInterfaceResources&) = delete;
};
