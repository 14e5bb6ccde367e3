#pragma once

#include <QString>

class cProgramUnderTest;

// The program's serial link as the tab tests and the drag benchmark drive it. GUI thread.
namespace nProgramLink
{

// Connects so that the device ends up holding the program's model, as a device that was last used
// with this program would: saves the model to a file in folder, connects (the connection takes the
// device's state), recalls the file (which sends every unit to the device) and waits until the
// link is idle. False, with a warning, when a step fails.
bool ConnectKeepingModel(cProgramUnderTest& program, const QString& folder);

// Waits until the link's send queues have stayed empty for quietMs and for as many of the syscall
// thread's action ticks (the units queue changes on the ticks after them), and the device has read
// every byte the link wrote; false when that did not happen within timeoutMs. The queues are looked
// at again after every turn of the event loop, however long a turn takes.
bool WaitUntilIdle(cProgramUnderTest& program, int quietMs = 200, int timeoutMs = 10000);

} // namespace nProgramLink
