#pragma once

#include "CorvoGUI/QtGUIComponents/Graphics/cBasicGraphicsFactory.h"
#include "QtGUIComponents/Widgets/cGraphicsFactoryInterface.h"

// The program's graphics factory: the image cache in front of its painters.
using cGraphicsFactory = cGraphicsFactoryInterface<cBasicGraphicsFactory>;
