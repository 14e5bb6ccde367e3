#pragma once

class QSharedMemory;

// The single-instance guard: true when this process may run, holding the one-byte segment of
// `memory` (whose key names the program) until `memory` detaches or goes away.
//
// attach(ReadOnly) tells whether a segment of that key exists. A segment left by a process that
// ended without detaching has no other attachment and vanishes when this process detaches from it,
// so the guard then detaches and attaches again: only a segment that is still there belongs to a
// running instance. Otherwise a new one-byte segment is created; failing that, another instance
// runs.
//
// GUI thread, before anything else starts.
bool TakeSingleInstance(QSharedMemory& memory);
