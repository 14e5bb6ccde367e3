import QtQuick 2.12
import QtGraphicalEffects 1.0

// The glow around a touched fader knob; a fader loads it only while its glowOnTouch is on.
RectangularGlow {
    property real knobWidth: width

    glowRadius: knobWidth * 0.25
    spread: 0.2
    cornerRadius: glowRadius
    color: "#ffffd000"
}
