#include "tests/support/look/LookObjects.h"

#include "CorvoGUI/QtGUIComponents/ValueFormat/cQmlValueInterpreterSingleton.h"
#include "QtGUIComponents/Common/cThemeColours.h"
#include "QtGUIComponents/Widgets/cDrawingUtility.h"

#include <QFontDatabase>
#include <QString>

namespace nLookObjects
{

void Make()
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

bool AddFont()
{
    return QFontDatabase::addApplicationFont(QStringLiteral(":Spartan-Bold.ttf")) >= 0;
}

} // namespace nLookObjects
