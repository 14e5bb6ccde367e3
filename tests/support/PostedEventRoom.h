#pragma once

// Qt grows a thread's list of posted events on whichever thread posts, under a lock that
// ThreadSanitizer cannot see, and such a report names no Qt function that a suppression could
// (tests/support/tsan-qt.supp). Growing the calling thread's list before other threads post to it
// leaves them nothing to copy; Qt keeps the room when the events are gone. Call it on the thread
// that receives (the main thread), with an event loop's application object made.
void MakeRoomForPostedEvents(int room);
