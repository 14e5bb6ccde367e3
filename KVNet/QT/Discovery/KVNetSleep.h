#pragma once

// Sleep the calling thread (nothing in this program calls them).
void SleepMilliseconds(unsigned long milliseconds);
void SleepMicroseconds(unsigned long microseconds);
