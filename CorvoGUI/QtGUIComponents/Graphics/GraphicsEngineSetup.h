#pragma once

class QQmlEngine;

// Gives the engine the image provider "graphicsfactory" (which the engine then owns) and the root
// context properties "_screenScalingFactor" and "_fontScalingFactor" (the scaling factors as
// doubles). GUI thread, before QML is loaded.
void InstallGraphicsFactory(QQmlEngine& engine);
