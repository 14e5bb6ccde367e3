#pragma once

// The program: refuses to run twice, starts the framework and the device model, runs the Qt event
// loop and takes everything down when it ends. Returns the event loop's exit code, or 0 when
// another instance runs. Called once, by the platform's entry (main) on the GUI thread.
int qMain(int argc, char** argv);
