#include "CorvoGUI/Core/App/LookObjects.h"

#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QFontDatabase>
#include <QString>

const char* const PROGRAM_FONT_RESOURCE = ":Spartan-Bold.ttf";

void MakeLookObjects()
{
    if (gThemeColours == nullptr)
    {
        gThemeColours = new cThemeColours();
    }
    if (gDrawingUtility == nullptr)
    {
        gDrawingUtility = new cDrawingUtility();
    }
    if (gQmlValueInterpreterSingleton == nullptr)
    {
        gQmlValueInterpreterSingleton = new cQmlValueInterpreterSingleton();
    }
}

bool AddProgramFont()
{
    return QFontDatabase::addApplicationFont(QString::fromLatin1(PROGRAM_FONT_RESOURCE)) >= 0;
}
